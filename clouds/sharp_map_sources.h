// The addresses of a month's map of 5400 x 2700 pixels, from the stored patterns
// (SharpMapSources, or the built-in list). A pattern may hold three placeholders: "{MM}", the
// month's two digits ("07"); "{month}", its English name in lower case ("july"); and "{record}",
// the number of the month's record on the older host of the monthly series (73751 for July).
// Anything else stands as written, braces included, so an address without placeholders asks for
// the same file every month.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// pattern with its placeholders filled for month (1..12; any other number counts on around the
// year, so 13 is January). Each placeholder is replaced where it
// stands, from left to right; what a replacement brings is never read as a placeholder again.
std::string SharpMapAddress(std::string_view pattern, int month);

// The addresses of every pattern for month, in the patterns' order: the order of the attempts.
std::vector<std::string> SharpMapAddresses(const std::vector<std::string>& patterns, int month);
