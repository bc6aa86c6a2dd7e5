// Finds the DejaVu Sans font file at run time, for the gallery and the tests.
#ifndef VUDADIVE2R_EXAMPLES_FONTLOOKUP_HPP
#define VUDADIVE2R_EXAMPLES_FONTLOOKUP_HPP

#include <cstdio>
#include <string>

// fontconfig's answer when fc-match is installed, else the path of Debian's
// fonts-dejavu-core; empty when neither is readable. fc-match names a
// substitute when the family is missing, so only the face itself is taken.
inline std::string DejaVuSansPath() {
    auto readable = [](const std::string& path) {
        FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
        if (file)
            std::fclose(file);
        return file != nullptr;
    };
    const std::string suffix = "/DejaVuSans.ttf";
    std::string found;
    if (FILE* pipe = popen("fc-match -f '%{file}' 'DejaVu Sans:style=Book' 2>/dev/null", "r")) {
        char buffer[4096];
        found.assign(buffer, std::fread(buffer, 1, sizeof buffer, pipe));
        pclose(pipe);
    }
    if (found.size() > suffix.size() && found.compare(found.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        readable(found))
        return found;
    const std::string debian = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    return readable(debian) ? debian : std::string();
}

#endif
