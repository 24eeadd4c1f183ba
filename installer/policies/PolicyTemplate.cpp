#include "installer/policies/PolicyTemplate.h"

#include <string_view>

#include "installer/policies/PolicyProse.h"
#include "settings/SettingsTable.h"

namespace {

// What is not a setting: the file's frame, the category, the supported Windows and the
// clock synchronisation's two policies, which the settings table does not hold.

constexpr std::string_view kAdmxHead = R"xml(<?xml version="1.0" encoding="utf-8"?>
<!-- Tessaryn's administrative template: copy it, with en-US\tessaryn.adml, into
     %SystemRoot%\PolicyDefinitions or the domain's Central Store. Every policy writes
     one value under SOFTWARE\Policies\Tessaryn, in the computer's key or the user's; for each
     value the computer's wins. Tessaryn's build writes it from its settings table. -->
<policyDefinitions xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" revision="1.0" schemaVersion="1.0" xmlns="http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions">
  <policyNamespaces>
    <target prefix="tessaryn" namespace="Tessaryn.Policies.Tessaryn" />
  </policyNamespaces>
  <resources minRequiredRevision="1.0" />
  <supportedOn>
    <definitions>
      <definition name="SUPPORTED_Windows7SP1" displayName="$(string.SUPPORTED_Windows7SP1)" />
    </definitions>
  </supportedOn>
  <categories>
    <category name="Tessaryn" displayName="$(string.Tessaryn)" explainText="$(string.Tessaryn_Help)" />
  </categories>
  <policies>
)xml";

constexpr std::string_view kAdmxClockSyncPolicies =
    R"xml(    <policy name="ClockSync" class="Both" displayName="$(string.ClockSync)" explainText="$(string.ClockSync_Help)" key="SOFTWARE\Policies\Tessaryn" valueName="ClockSync">
      <parentCategory ref="Tessaryn" />
      <supportedOn ref="SUPPORTED_Windows7SP1" />
      <enabledValue>
        <decimal value="1" />
      </enabledValue>
      <disabledValue>
        <decimal value="0" />
      </disabledValue>
    </policy>
    <policy name="TimeServers" class="Both" displayName="$(string.TimeServers)" explainText="$(string.TimeServers_Help)" presentation="$(presentation.TimeServers)" key="SOFTWARE\Policies\Tessaryn">
      <parentCategory ref="Tessaryn" />
      <supportedOn ref="SUPPORTED_Windows7SP1" />
      <elements>
        <text id="TimeServers" valueName="TimeServers" required="true" maxLength="1024" />
      </elements>
    </policy>
)xml";

constexpr std::string_view kAdmxTail = R"xml(  </policies>
</policyDefinitions>
)xml";

constexpr std::string_view kAdmlHead = R"xml(<?xml version="1.0" encoding="utf-8"?>
<policyDefinitionResources xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" revision="1.0" schemaVersion="1.0" xmlns="http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions">
  <displayName>Tessaryn</displayName>
  <description>Policies of the Tessaryn clock screensaver</description>
  <resources>
    <stringTable>
      <string id="SUPPORTED_Windows7SP1">Windows 7 SP1 and later</string>
      <string id="Tessaryn">Tessaryn</string>
      <string id="Tessaryn_Help">The Tessaryn clock screensaver: its look, and whether its settings window may set the computer's clock. A policy set for the computer wins over the same policy set for the user.</string>
)xml";

constexpr std::string_view kAdmlClockSyncStrings =
    R"xml(      <string id="ClockSync">Allow clock synchronization</string>
      <string id="ClockSync_Help">Allows or forbids the "Clock synchronization" button of the screensaver's settings, which sets the computer's clock from a Daytime server (TCP port 13).

If you disable this policy setting, the button stands disabled. Set for the computer, it also makes the elevated clock step (tessaryn-clock.exe) refuse to set the clock.

If you enable this policy setting, the button works, even where the user's policy forbids it.

If you do not configure this policy setting, the button works.

Computers that take their time from the domain need no other clock setting: disable this policy for them.</string>
      <string id="TimeServers">Time servers</string>
      <string id="TimeServers_Help">Names the Daytime servers that "Clock synchronization" asks, in place of the built-in public servers: dotted IPv4 addresses, each with an optional port (a.b.c.d or a.b.c.d:port; port 13 when none is given), separated by commas, for example 10.0.0.5, 10.0.0.6:1313. Host names are not accepted.

If you enable this policy setting, the servers are asked in this order, the next one after a server fails. An entry that is not an address is left out; a list without one address is ignored.

If you disable or do not configure this policy setting, the built-in public servers are asked.

A list set for the computer wins over one set for the user.</string>
)xml";

constexpr std::string_view kAdmlStringsEnd = R"xml(    </stringTable>
    <presentationTable>
)xml";

constexpr std::string_view kAdmlClockSyncPresentations =
    R"xml(      <presentation id="TimeServers">
        <textBox refId="TimeServers">
          <label>Servers (a.b.c.d[:port], separated by commas):</label>
        </textBox>
      </presentation>
)xml";

constexpr std::string_view kAdmlTail = R"xml(    </presentationTable>
  </resources>
</policyDefinitionResources>
)xml";

constexpr std::string_view kHelpTail =
    "\n\nIf you disable or do not configure this policy setting, each user chooses."
    "\n\nA value set for the computer wins over one set for the user.";

// Appends lines indented two spaces a level.
class XmlLines {
 public:
  void Add(int depth, std::string_view line) {
    text_.append(2 * depth, ' ').append(line).push_back('\n');
  }
  void AddRaw(std::string_view text) { text_.append(text); }

  // The file as Windows' own templates are written: CRLF line ends.
  std::string WindowsText() const {
    std::string out;
    for (char c : text_) {
      if (c == '\n') {
        out.push_back('\r');
      }
      out.push_back(c);
    }
    return out;
  }

 private:
  std::string text_;
};

std::string Quoted(int32_t value) {
  return "\"" + std::to_string(value) + "\"";
}

// Element text from the table or the prose; attributes hold only names and numbers.
std::string EscapedText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

const SettingProse& ProseOf(const SettingRow& row) {
  return *FindProse(row);
}

bool IsDropDown(const SettingRow& row) {
  return !row.is_switch && ProseOf(row).item_name != nullptr;
}

// `text` with the row's range and label put in for their placeholders.
std::string FilledIn(std::string_view text, const SettingRow& row) {
  const std::pair<std::string_view, std::string> fills[] = {
      {"{low}", std::to_string(row.low)},
      {"{high}", std::to_string(row.high)},
      {"{label}", row.label},
  };
  std::string out(text);
  for (const auto& [placeholder, value] : fills) {
    for (size_t at = out.find(placeholder); at != std::string::npos;
         at = out.find(placeholder, at + value.size())) {
      out.replace(at, placeholder.size(), value);
    }
  }
  return out;
}

std::string HelpText(const SettingRow& row) {
  const SettingProse& prose = ProseOf(row);
  return FilledIn(prose.what, row) + "\n\nIf you enable this policy setting, " +
         std::string(prose.when_enabled) + std::string(kHelpTail);
}

// --- .admx ----------------------------------------------------------------------------

void AddNumberBoxElement(XmlLines& xml, const SettingRow& row) {
  const std::string name = row.registry_name;
  xml.Add(4, "<decimal id=\"" + name + "\" valueName=\"" + name + "\" minValue=" + Quoted(row.low) +
                 " maxValue=" + Quoted(row.high) + " required=\"true\" />");
}

void AddDecimal(XmlLines& xml, int depth, std::string_view wrapper, int32_t value) {
  xml.Add(depth, "<" + std::string(wrapper) + ">");
  xml.Add(depth + 1, "<decimal value=" + Quoted(value) + " />");
  xml.Add(depth, "</" + std::string(wrapper) + ">");
}

void AddDropDownElement(XmlLines& xml, const SettingRow& row) {
  const std::string name = row.registry_name;
  xml.Add(4, "<enum id=\"" + name + "\" valueName=\"" + name + "\" required=\"true\">");
  for (int32_t value = row.low; value <= row.high; ++value) {
    xml.Add(5, "<item displayName=\"$(string." + name + "_" + std::to_string(value) + ")\">");
    AddDecimal(xml, 6, "value", value);
    xml.Add(5, "</item>");
  }
  xml.Add(4, "</enum>");
}

void AddCheckBoxElement(XmlLines& xml, const SettingRow& row) {
  const std::string name = row.registry_name;
  xml.Add(4, "<boolean id=\"" + name + "\" valueName=\"" + name + "\">");
  AddDecimal(xml, 5, "trueValue", row.high);
  AddDecimal(xml, 5, "falseValue", row.low);
  xml.Add(4, "</boolean>");
}

void AddSettingPolicy(XmlLines& xml, const SettingRow& row) {
  const std::string name = row.registry_name;
  xml.Add(2, "<policy name=\"" + name + "\" class=\"Both\" displayName=\"$(string." + name +
                 ")\" explainText=\"$(string." + name + "_Help)\" presentation=\"$(presentation." +
                 name + ")\" key=\"SOFTWARE\\Policies\\Tessaryn\">");
  xml.Add(3, "<parentCategory ref=\"Tessaryn\" />");
  xml.Add(3, "<supportedOn ref=\"SUPPORTED_Windows7SP1\" />");
  xml.Add(3, "<elements>");
  if (row.is_switch) {
    AddCheckBoxElement(xml, row);
  } else if (IsDropDown(row)) {
    AddDropDownElement(xml, row);
  } else {
    AddNumberBoxElement(xml, row);
  }
  xml.Add(3, "</elements>");
  xml.Add(2, "</policy>");
}

// --- .adml ----------------------------------------------------------------------------

void AddString(XmlLines& xml, const std::string& id, const std::string& text) {
  xml.Add(3, "<string id=\"" + id + "\">" + EscapedText(text) + "</string>");
}

void AddItemStrings(XmlLines& xml, const SettingRow& row) {
  for (int32_t value = row.low; value <= row.high; ++value) {
    AddString(xml, row.registry_name + ("_" + std::to_string(value)),
              ProseOf(row).item_name(value));
  }
}

// The control that sets the element's value when the policy is enabled.
std::string PresentationControl(const SettingRow& row) {
  const SettingProse& prose = ProseOf(row);
  const std::string ref = "refId=\"" + std::string(row.registry_name) + "\"";
  const std::string name = EscapedText(prose.display_name);
  if (row.is_switch) {
    // Enabling a switch's policy most often means turning it on.
    return "<checkBox " + ref + " defaultChecked=\"true\">" + EscapedText(prose.check_box_text) +
           "</checkBox>";
  }
  if (IsDropDown(row)) {
    return "<dropdownList " + ref +
           " noSort=\"true\" defaultItem=" + Quoted(row.default_value - row.low) + ">" + name +
           ":</dropdownList>";
  }
  return "<decimalTextBox " + ref + " defaultValue=" + Quoted(row.default_value) +
         " spinStep=\"1\">" + name + " (" + std::to_string(row.low) + " to " +
         std::to_string(row.high) + "):</decimalTextBox>";
}

void AddPresentation(XmlLines& xml, const SettingRow& row) {
  xml.Add(3, "<presentation id=\"" + std::string(row.registry_name) + "\">");
  xml.Add(4, PresentationControl(row));
  xml.Add(3, "</presentation>");
}

}  // namespace

std::string AdmxText() {
  XmlLines xml;
  xml.AddRaw(kAdmxHead);
  for (const SettingRow& row : kSettingsTable) {
    AddSettingPolicy(xml, row);
  }
  xml.AddRaw(kAdmxClockSyncPolicies);
  xml.AddRaw(kAdmxTail);
  return xml.WindowsText();
}

std::string AdmlText() {
  XmlLines xml;
  xml.AddRaw(kAdmlHead);
  for (const SettingRow& row : kSettingsTable) {
    AddString(xml, row.registry_name, std::string(ProseOf(row).display_name));
    AddString(xml, row.registry_name + std::string("_Help"), HelpText(row));
  }
  xml.AddRaw(kAdmlClockSyncStrings);
  for (const SettingRow& row : kSettingsTable) {
    if (IsDropDown(row)) {
      AddItemStrings(xml, row);
    }
  }
  xml.AddRaw(kAdmlStringsEnd);
  for (const SettingRow& row : kSettingsTable) {
    AddPresentation(xml, row);
  }
  xml.AddRaw(kAdmlClockSyncPresentations);
  xml.AddRaw(kAdmlTail);
  return xml.WindowsText();
}
