#include "installer/policies/PolicyTemplate.h"

#include <string_view>
#include <utility>

#include "installer/policies/PolicyProse.h"
#include "installer/policies/XmlLines.h"
#include "settings/Policies.h"
#include "settings/SettingsTable.h"

namespace {

// The files' frames, the category and the supported Windows, which name no value.

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

constexpr std::string_view kAdmlStringsEnd = R"xml(    </stringTable>
    <presentationTable>
)xml";

constexpr std::string_view kAdmlTail = R"xml(    </presentationTable>
  </resources>
</policyDefinitionResources>
)xml";

constexpr std::string_view kSettingHelpTail =
    "\n\nIf you disable or do not configure this policy setting, each user chooses."
    "\n\nA value set for the computer wins over one set for the user.";

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
         std::string(prose.when_enabled) + std::string(kSettingHelpTail);
}

// --- .admx ----------------------------------------------------------------------------

std::string PresentationAttribute(std::string_view name) {
  return " presentation=\"$(presentation." + std::string(name) + ")\"";
}

// A policy for both the computer and the user, in the category, under the key the saver
// reads; `before_key` adds its presentation, `after_key` the value it writes itself.
void OpenPolicy(XmlLines& xml, std::string_view name, const std::string& before_key,
                const std::string& after_key = {}) {
  const std::string n(name);
  xml.Add(2, "<policy name=" + Quoted(n) + " class=\"Both\" displayName=\"$(string." + n +
                 ")\" explainText=\"$(string." + n + "_Help)\"" + before_key +
                 " key=" + Quoted(kPolicyKeyPath) + after_key + ">");
  xml.Add(3, "<parentCategory ref=\"Tessaryn\" />");
  xml.Add(3, "<supportedOn ref=\"SUPPORTED_Windows7SP1\" />");
}

void ClosePolicy(XmlLines& xml) {
  xml.Add(2, "</policy>");
}

std::string ValueAttributes(std::string_view name) {
  return "id=" + Quoted(name) + " valueName=" + Quoted(name);
}

void AddDecimal(XmlLines& xml, int depth, std::string_view wrapper, int32_t value) {
  xml.Add(depth, "<" + std::string(wrapper) + ">");
  xml.Add(depth + 1, "<decimal value=" + Quoted(value) + " />");
  xml.Add(depth, "</" + std::string(wrapper) + ">");
}

void AddNumberBoxElement(XmlLines& xml, const SettingRow& row) {
  xml.Add(4, "<decimal " + ValueAttributes(row.registry_name) + " minValue=" + Quoted(row.low) +
                 " maxValue=" + Quoted(row.high) + " required=\"true\" />");
}

void AddDropDownElement(XmlLines& xml, const SettingRow& row) {
  const std::string name = row.registry_name;
  xml.Add(4, "<enum " + ValueAttributes(name) + " required=\"true\">");
  for (int32_t value = row.low; value <= row.high; ++value) {
    xml.Add(5, "<item displayName=\"$(string." + name + "_" + std::to_string(value) + ")\">");
    AddDecimal(xml, 6, "value", value);
    xml.Add(5, "</item>");
  }
  xml.Add(4, "</enum>");
}

void AddCheckBoxElement(XmlLines& xml, const SettingRow& row) {
  xml.Add(4, "<boolean " + ValueAttributes(row.registry_name) + ">");
  AddDecimal(xml, 5, "trueValue", row.high);
  AddDecimal(xml, 5, "falseValue", row.low);
  xml.Add(4, "</boolean>");
}

void AddSettingPolicy(XmlLines& xml, const SettingRow& row) {
  OpenPolicy(xml, row.registry_name, PresentationAttribute(row.registry_name));
  xml.Add(3, "<elements>");
  if (row.is_switch) {
    AddCheckBoxElement(xml, row);
  } else if (IsDropDown(row)) {
    AddDropDownElement(xml, row);
  } else {
    AddNumberBoxElement(xml, row);
  }
  xml.Add(3, "</elements>");
  ClosePolicy(xml);
}

// The policy itself writes 1 when enabled and 0 when disabled: no element, no control.
void AddClockSyncPolicy(XmlLines& xml) {
  OpenPolicy(xml, kClockSyncPolicy, "", " valueName=" + Quoted(kClockSyncPolicy));
  AddDecimal(xml, 3, "enabledValue", 1);
  AddDecimal(xml, 3, "disabledValue", 0);
  ClosePolicy(xml);
}

void AddTimeServersPolicy(XmlLines& xml) {
  OpenPolicy(xml, kTimeServersPolicy, PresentationAttribute(kTimeServersPolicy));
  xml.Add(3, "<elements>");
  xml.Add(4, "<text " + ValueAttributes(kTimeServersPolicy) +
                 " required=\"true\" maxLength=\"1024\" />");
  xml.Add(3, "</elements>");
  ClosePolicy(xml);
}

// --- .adml ----------------------------------------------------------------------------

void AddString(XmlLines& xml, std::string_view id, std::string_view text) {
  xml.Add(3, "<string id=" + Quoted(id) + ">" + EscapedText(text) + "</string>");
}

void AddPolicyStrings(XmlLines& xml, std::string_view name, std::string_view display_name,
                      std::string_view help) {
  AddString(xml, name, display_name);
  AddString(xml, std::string(name) + "_Help", help);
}

void AddItemStrings(XmlLines& xml, const SettingRow& row) {
  for (int32_t value = row.low; value <= row.high; ++value) {
    AddString(xml, row.registry_name + ("_" + std::to_string(value)),
              ProseOf(row).item_name(value));
  }
}

// The control that sets the element's value when the policy is enabled.
std::string SettingControl(const SettingRow& row) {
  const SettingProse& prose = ProseOf(row);
  const std::string ref = "refId=" + Quoted(row.registry_name);
  const std::string name = EscapedText(prose.display_name);
  if (row.is_switch) {
    // Enabling a switch's policy most often means turning it on.
    return "<checkBox " + ref + " defaultChecked=\"true\">" + EscapedText(prose.check_box_text) +
           "</checkBox>";
  }
  if (IsDropDown(row)) {
    // defaultItem counts the items from 0.
    return "<dropdownList " + ref +
           " noSort=\"true\" defaultItem=" + Quoted(row.default_value - row.low) + ">" + name +
           ":</dropdownList>";
  }
  return "<decimalTextBox " + ref + " defaultValue=" + Quoted(row.default_value) +
         " spinStep=\"1\">" + name + " (" + std::to_string(row.low) + " to " +
         std::to_string(row.high) + "):</decimalTextBox>";
}

void AddSettingPresentation(XmlLines& xml, const SettingRow& row) {
  xml.Add(3, "<presentation id=" + Quoted(row.registry_name) + ">");
  xml.Add(4, SettingControl(row));
  xml.Add(3, "</presentation>");
}

void AddTimeServersPresentation(XmlLines& xml) {
  xml.Add(3, "<presentation id=" + Quoted(kTimeServersPolicy) + ">");
  xml.Add(4, "<textBox refId=" + Quoted(kTimeServersPolicy) + ">");
  xml.Add(5, "<label>" + EscapedText(kTimeServersLabel) + "</label>");
  xml.Add(4, "</textBox>");
  xml.Add(3, "</presentation>");
}

}  // namespace

std::string AdmxText() {
  XmlLines xml;
  xml.AddRaw(kAdmxHead);
  for (const SettingRow& row : kSettingsTable) {
    AddSettingPolicy(xml, row);
  }
  AddClockSyncPolicy(xml);
  AddTimeServersPolicy(xml);
  xml.AddRaw(kAdmxTail);
  return xml.WindowsText();
}

std::string AdmlText() {
  XmlLines xml;
  xml.AddRaw(kAdmlHead);
  for (const SettingRow& row : kSettingsTable) {
    AddPolicyStrings(xml, row.registry_name, ProseOf(row).display_name, HelpText(row));
  }
  AddPolicyStrings(xml, kClockSyncPolicy, kClockSyncDisplayName, kClockSyncHelp);
  AddPolicyStrings(xml, kTimeServersPolicy, kTimeServersDisplayName, kTimeServersHelp);
  for (const SettingRow& row : kSettingsTable) {
    if (IsDropDown(row)) {
      AddItemStrings(xml, row);
    }
  }
  xml.AddRaw(kAdmlStringsEnd);
  for (const SettingRow& row : kSettingsTable) {
    AddSettingPresentation(xml, row);
  }
  AddTimeServersPresentation(xml);
  xml.AddRaw(kAdmlTail);
  return xml.WindowsText();
}
