#pragma once

#include <string>

// The Group Policy administrative template, made from the settings table: one policy
// per setting, writing its registry value under SOFTWARE\Policies\Tessaryn, and the
// clock synchronisation's two. Each is the whole file, with Windows' line ends.

// tessaryn.admx: the policies, their values and ranges.
std::string AdmxText();

// en-US\tessaryn.adml: what the policy editor shows for them, in English.
std::string AdmlText();
