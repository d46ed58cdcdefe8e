// A program file's version record, read as Explorer's Properties, Details reads it: the fixed
// file version and the texts of the record's first language.
#pragma once

#include <string>
#include <utility>
#include <vector>

// "FileVersion" as the four numbers of the fixed part ("2.1.1.0"), then each text value the
// record has of CompanyName, FileDescription, FileVersion, LegalCopyright, ProductName and
// ProductVersion, as (name, UTF-8 text) pairs. False when the file has no version record.
bool ReadFileVersion(const std::string& utf8Path, std::string& fixedVersion,
                     std::vector<std::pair<std::string, std::string>>& texts);
