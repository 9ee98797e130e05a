#include "app/store/XmlWriter.h"

namespace kw::xml {

namespace {

bool HasOnlyTextChildren(const pugi::xml_node& node) {
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) {
            return false;
        }
    }
    return true;
}

void WriteAttributes(const pugi::xml_node& node, std::string& out) {
    for (const pugi::xml_attribute& attr : node.attributes()) {
        out += ' ';
        out += attr.name();
        out += "=\"";
        out += EscapeAttribute(attr.value());
        out += '"';
    }
}

void WriteCdata(std::string_view value, std::string& out) {
    // "]]>" cannot stand inside a section: split it across two.
    size_t from = 0;
    for (size_t at = value.find("]]>"); at != std::string_view::npos; at = value.find("]]>", from)) {
        out += "<![CDATA[";
        out += value.substr(from, at + 2 - from);
        out += "]]>";
        from = at + 2;
    }
    out += "<![CDATA[";
    out += value.substr(from);
    out += "]]>";
}

void WriteNode(const pugi::xml_node& node, int depth, std::string& out) {
    const std::string indent(static_cast<size_t>(depth), '\t');
    switch (node.type()) {
    case pugi::node_declaration:
        out += "<?";
        out += node.name();
        WriteAttributes(node, out);
        out += "?>\r\n";
        return;
    case pugi::node_pi:
        out += indent + "<?" + node.name();
        if (*node.value()) {
            out += ' ';
            out += node.value();
        }
        out += "?>\r\n";
        return;
    case pugi::node_doctype:
        out += indent + "<!DOCTYPE " + node.value() + ">\r\n";
        return;
    case pugi::node_comment:
        out += indent + "<!--" + node.value() + "-->\r\n";
        return;
    case pugi::node_pcdata:
        out += indent + EscapeText(node.value()) + "\r\n";
        return;
    case pugi::node_cdata:
        out += indent;
        WriteCdata(node.value(), out);
        out += "\r\n";
        return;
    case pugi::node_element:
        break;
    default:
        return;
    }
    out += indent + "<" + node.name();
    WriteAttributes(node, out);
    if (!node.first_child()) {
        out += "/>\r\n";
        return;
    }
    out += '>';
    if (HasOnlyTextChildren(node)) {
        for (const pugi::xml_node& child : node.children()) {
            if (child.type() == pugi::node_cdata) {
                WriteCdata(child.value(), out);
            } else {
                out += EscapeText(child.value());
            }
        }
    } else {
        out += "\r\n";
        for (const pugi::xml_node& child : node.children()) {
            WriteNode(child, depth + 1, out);
        }
        out += indent;
    }
    out += "</";
    out += node.name();
    out += ">\r\n";
}

} // namespace

namespace {

// Attribute values escape both quotes, and line breaks and tabs that a reader would otherwise
// fold into spaces; element text escapes only the markup characters.
std::string Escape(std::string_view value, bool attribute) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '<':
            out += "&lt;";
            continue;
        case '&':
            out += "&amp;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        default:
            break;
        }
        if (!attribute) {
            out += c;
            continue;
        }
        switch (c) {
        case '\'':
            out += "&apos;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string EscapeAttribute(std::string_view value) {
    return Escape(value, true);
}
std::string EscapeText(std::string_view value) {
    return Escape(value, false);
}

std::string WriteDocument(const pugi::xml_node& document) {
    std::string out;
    for (const pugi::xml_node& child : document.children()) {
        WriteNode(child, 0, out);
    }
    return out;
}

} // namespace kw::xml
