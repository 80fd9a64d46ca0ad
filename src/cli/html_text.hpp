// Text made safe to splice into HTML and SVG markup.
#pragma once

#include <string>
#include <string_view>

namespace velmora::cli {

// `text` as HTML character data or as a quoted attribute value: "&", "<", ">", '"' and "'"
// become character references; a byte sequence that is not UTF-8 and every control character
// other than tab and line feed (which markup cannot carry) become U+FFFD. Everything that the
// databases or the command line hand over passes through here before it reaches a report.
std::string htmlText(std::string_view text);

}  // namespace velmora::cli
