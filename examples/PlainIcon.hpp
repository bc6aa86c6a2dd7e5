// A minimal reader of plain SVG icons, for the gallery and the comparison
// with a reference renderer: an <svg> root with a viewBox (or a width and a
// height, which then stand for one from the origin) whose only shapes
// are <path> elements (inside groups that at most set a fill colour) with a
// `d`, a flat fill colour and a fill rule. Anything else (transforms, styles, opacity,
// masks, other shapes) makes the icon not plain; the library itself reads no
// XML.
#ifndef VUDADIVE2R_EXAMPLES_PLAINICON_HPP
#define VUDADIVE2R_EXAMPLES_PLAINICON_HPP

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct PlainIconPath {
    std::string data;         // the `d` attribute, entities unexpanded
    unsigned rgb = 0x000000;  // the fill colour, its group's or black when not given
    bool evenOdd = false;
};

struct PlainIcon {
    float viewBox[4] = {0, 0, 0, 0};  // x, y, width, height
    std::vector<PlainIconPath> paths;
};

namespace PlainIconReading {

// The attributes of one tag, as name and value.
inline bool Attributes(const std::string& tag, std::vector<std::pair<std::string, std::string>>& out) {
    size_t i = 0;
    while (i < tag.size()) {
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n' || tag[i] == '\r' || tag[i] == '/'))
            ++i;
        if (i >= tag.size())
            break;
        const size_t nameStart = i;
        while (i < tag.size() && tag[i] != '=' && tag[i] != ' ')
            ++i;
        const std::string name = tag.substr(nameStart, i - nameStart);
        while (i < tag.size() && tag[i] == ' ')
            ++i;
        if (i + 1 >= tag.size() || tag[i] != '=')
            return false;
        ++i;
        while (i < tag.size() && tag[i] == ' ')
            ++i;
        const char quote = tag[i];
        if (quote != '"' && quote != '\'')
            return false;
        const size_t end = tag.find(quote, i + 1);
        if (end == std::string::npos)
            return false;
        out.emplace_back(name, tag.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return true;
}

inline bool Colour(const std::string& value, unsigned& rgb) {
    if (value.size() == 7 && value[0] == '#') {
        rgb = unsigned(std::strtoul(value.c_str() + 1, nullptr, 16));
        return true;
    }
    if (value.size() == 4 && value[0] == '#') {
        const unsigned shortForm = unsigned(std::strtoul(value.c_str() + 1, nullptr, 16));
        rgb = 0;
        for (int shift = 8; shift >= 0; shift -= 4)
            rgb = (rgb << 8) | (((shortForm >> shift) & 15) * 17);
        return true;
    }
    return value == "black" ? (rgb = 0, true) : false;
}

}  // namespace PlainIconReading

// Reads `filename`; false when it cannot be read or is not a plain icon.
inline bool ReadPlainIcon(const char* filename, PlainIcon& icon) {
    using namespace PlainIconReading;
    std::string text;
    if (FILE* file = std::fopen(filename, "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, n);
        std::fclose(file);
    } else {
        return false;
    }
    icon = PlainIcon();
    bool sawViewBox = false;
    std::vector<unsigned> groupFills = {0x000000};  // the fill each open group gives, innermost last
    float width = 0, height = 0;  // stand in for a missing viewBox, as SVG's user units
    for (size_t open = text.find('<'); open != std::string::npos; open = text.find('<', open + 1)) {
        if (text.compare(open, 4, "<!--") == 0) {
            open = text.find("-->", open);
            if (open == std::string::npos)
                return false;
            continue;
        }
        const char first = open + 1 < text.size() ? text[open + 1] : '\0';
        if (first == '/' && text.compare(open, 3, "</g") == 0 && groupFills.size() > 1)
            groupFills.pop_back();
        if (first == '?' || first == '/')
            continue;
        const size_t close = text.find('>', open);
        if (close == std::string::npos)
            return false;
        const std::string tag = text.substr(open + 1, close - open - 1);
        const size_t nameEnd = tag.find_first_of(" \t\r\n/");
        const std::string name = tag.substr(0, nameEnd);
        std::vector<std::pair<std::string, std::string>> attributes;
        if (nameEnd != std::string::npos && !Attributes(tag.substr(nameEnd), attributes))
            return false;
        if (name == "svg") {
            for (const auto& [key, value] : attributes) {
                if (key == "viewBox")
                    sawViewBox = std::sscanf(value.c_str(), "%f%*[ ,]%f%*[ ,]%f%*[ ,]%f", &icon.viewBox[0],
                                             &icon.viewBox[1], &icon.viewBox[2], &icon.viewBox[3]) == 4;
                else if (key == "width" || key == "height")
                    (key == "width" ? width : height) = std::strtof(value.c_str(), nullptr);
                else if (key != "version" && key.compare(0, 5, "xmlns") != 0)
                    return false;
            }
        } else if (name == "g") {
            // A group may only give its paths a fill colour.
            unsigned rgb = groupFills.back();
            for (const auto& [key, value] : attributes)
                if (key != "fill" || !Colour(value, rgb))
                    return false;
            if (tag.back() != '/')
                groupFills.push_back(rgb);
        } else if (name == "path") {
            PlainIconPath path;
            path.rgb = groupFills.back();
            bool hasData = false;
            for (const auto& [key, value] : attributes) {
                if (key == "d") {
                    path.data = value;
                    hasData = true;
                } else if (key == "fill") {
                    if (!Colour(value, path.rgb))
                        return false;
                } else if (key == "fill-rule") {
                    path.evenOdd = value == "evenodd";
                } else if (key != "id") {
                    return false;
                }
            }
            if (!hasData || path.data.find('&') != std::string::npos)
                return false;
            icon.paths.push_back(path);
        } else {
            return false;
        }
    }
    if (!sawViewBox) {
        icon.viewBox[2] = width;
        icon.viewBox[3] = height;
    }
    return icon.viewBox[2] > 0 && icon.viewBox[3] > 0 && !icon.paths.empty();
}

#endif
