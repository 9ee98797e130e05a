#pragma once

// Writes a parsed document back as text: attribute values escape < & > ' " (and line breaks and
// tabs as character references, so that they survive a reload), element text escapes < & >.

#include <pugixml.hpp>
#include <string>

namespace kw::xml {

std::string WriteDocument(const pugi::xml_node& document);
std::string EscapeAttribute(std::string_view value);
std::string EscapeText(std::string_view value);

} // namespace kw::xml
