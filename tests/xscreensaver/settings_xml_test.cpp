#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "settings/SettingsTable.h"

// XScreenSaver's settings dialog builds its sliders and check boxes from the hack's XML:
// every setting there must match the table the hack, the registry and tessaryn-render
// take their names, ranges and defaults from.

namespace {

using Attributes = std::map<std::string, std::string>;

std::string ReadXml() {
  std::ifstream in(TESSARYN_XML_PATH);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every <`element` .../> of the XML with its attributes.
std::vector<Attributes> Elements(const std::string& xml, const std::string& element) {
  std::vector<Attributes> found;
  const std::regex tag("<" + element + R"(\s([^>]*?)/>)");
  const std::regex attribute(R"(([\w-]+)\s*=\s*"([^"]*)\")");
  for (auto t = std::sregex_iterator(xml.begin(), xml.end(), tag); t != std::sregex_iterator();
       ++t) {
    Attributes a;
    const std::string body = (*t)[1];
    for (auto m = std::sregex_iterator(body.begin(), body.end(), attribute);
         m != std::sregex_iterator(); ++m) {
      a[(*m)[1]] = (*m)[2];
    }
    found.push_back(a);
  }
  return found;
}

const Attributes* WithValue(const std::vector<Attributes>& elements, const std::string& name,
                            const std::string& value) {
  for (const Attributes& a : elements) {
    if (a.count(name) != 0 && a.at(name) == value) {
      return &a;
    }
  }
  return nullptr;
}

TEST(SettingsXml, EverySettingHasItsSliderOrCheckBoxAsTheTableSays) {
  const std::string xml = ReadXml();
  ASSERT_FALSE(xml.empty()) << TESSARYN_XML_PATH;
  const std::vector<Attributes> numbers = Elements(xml, "number");
  const std::vector<Attributes> booleans = Elements(xml, "boolean");
  int sliders = 0;
  for (const SettingRow& row : kSettingsTable) {
    SCOPED_TRACE(row.option);
    if (row.is_switch) {
      const Attributes* box = WithValue(booleans, "arg-set", row.option);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->at("_label"), row.label);
      continue;
    }
    const Attributes* slider = WithValue(numbers, "arg", std::string(row.option) + " %");
    ASSERT_NE(slider, nullptr);
    ++sliders;
    EXPECT_EQ(slider->at("_label"), row.label);
    EXPECT_EQ(slider->at("type"), "slider");
    EXPECT_EQ(std::stoi(slider->at("low")), row.low);
    EXPECT_EQ(std::stoi(slider->at("high")), row.high);
    EXPECT_EQ(std::stoi(slider->at("default")), row.default_value);
  }
  // No slider for a setting the table does not know.
  EXPECT_EQ(static_cast<int>(numbers.size()), sliders);
}

}  // namespace
