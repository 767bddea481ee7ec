// The dialog templates in the module's resources, written out one element
// a line for the editor scripts' `resource dialog N`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tenrek::testhost {

// The dialog ("dialog style ... caption ..."), then one line per control
// ("control ID class ... text ..."); nothing when `bytes` is not an
// extended template (DLGTEMPLATEEX).
std::vector<std::string> DescribeDialogTemplate(std::string_view bytes);

}  // namespace tenrek::testhost
