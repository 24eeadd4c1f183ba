#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/SettingsTable.h"

// The man page and the README describe every setting by hand; each is held to the
// table the hack and the registry take their names, ranges and defaults from.

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// `-hand-color` as roff spells it: `\-hand\-color`.
std::string Roff(const std::string& option) {
  std::string out;
  for (const char c : option) {
    out += c == '-' ? std::string("\\-") : std::string(1, c);
  }
  return out;
}

// The text of the man page's paragraph that opens with `head`, up to the next macro
// that starts a paragraph or section; empty when there is none.
std::string ManEntry(const std::string& man, const std::string& head) {
  const size_t at = man.find("\n" + head + "\n");
  if (at == std::string::npos) {
    return "";
  }
  const size_t body = at + head.size() + 2;
  size_t end = man.find("\n.TP", body);
  end = std::min(end, man.find("\n.SH", body));
  return man.substr(body, end - body);
}

// The cells of the README's table row for `registry_name`.
std::vector<std::string> ReadmeRow(const std::string& readme, const std::string& name) {
  const std::string start = "\n| `" + name + "` |";
  const size_t at = readme.find(start);
  if (at == std::string::npos || readme.find(start, at + 1) != std::string::npos) {
    return {};
  }
  const std::string line = readme.substr(at + 2, readme.find('\n', at + 1) - at - 2);
  std::vector<std::string> cells;
  std::stringstream in(line);
  for (std::string cell; std::getline(in, cell, '|');) {
    const size_t first = cell.find_first_not_of(' ');
    const size_t last = cell.find_last_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
  }
  return cells;
}

std::string RangeText(const SettingRow& row, const char* joint) {
  return std::to_string(row.low) + joint + std::to_string(row.high);
}

TEST(SettingsDocs, TheManPageListsEveryOptionAsTheTableSays) {
  const std::string man = ReadFile(TESSARYN_MAN_PATH);
  ASSERT_FALSE(man.empty()) << TESSARYN_MAN_PATH;
  const std::string synopsis = man.substr(0, man.find(".SH DESCRIPTION"));
  for (const SettingRow& row : kSettingsTable) {
    SCOPED_TRACE(row.option);
    const std::string option = Roff(row.option);
    if (row.is_switch) {
      const std::string no = Roff(std::string("-no") + row.option);
      EXPECT_NE(synopsis.find(".RB [ " + option + " \" | \" " + no + " ]"), std::string::npos);
      EXPECT_FALSE(ManEntry(man, ".B " + option).empty());
      EXPECT_FALSE(ManEntry(man, ".B " + no).empty());
      continue;
    }
    EXPECT_NE(synopsis.find(".RB [ " + option + "\n.IR n ]"), std::string::npos);
    const std::string entry = ManEntry(man, ".BI " + option + " \" n\"");
    ASSERT_FALSE(entry.empty());
    EXPECT_NE(entry.find(RangeText(row, " to ")), std::string::npos) << entry;
    EXPECT_NE(entry.find("(default " + std::to_string(row.default_value) + ";"), std::string::npos)
        << entry;
    EXPECT_NE(entry.find(std::string("\\(lq") + row.label + "\\(rq"), std::string::npos) << entry;
  }
}

TEST(SettingsDocs, TheReadmeTableHasEverySettingAsTheTableSays) {
  const std::string readme = ReadFile(TESSARYN_README_PATH);
  ASSERT_FALSE(readme.empty()) << TESSARYN_README_PATH;
  for (const SettingRow& row : kSettingsTable) {
    SCOPED_TRACE(row.registry_name);
    // Name, what it sets, range, default.
    const std::vector<std::string> cells = ReadmeRow(readme, row.registry_name);
    ASSERT_EQ(cells.size(), 4u) << "one row of four cells";
    EXPECT_EQ(cells[2], RangeText(row, row.is_switch ? " or " : " to "));
    const std::string first_default = cells[3].substr(0, cells[3].find(' '));
    EXPECT_EQ(first_default, std::to_string(row.default_value));
  }
}

}  // namespace
