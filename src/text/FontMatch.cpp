#include "text/FontMatch.hpp"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>

#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

// fontconfig's configuration is loaded once and consulted under one lock:
// its lookups are not all safe from several threads in older releases.
std::mutex& FontconfigLock() {
    static std::mutex lock;
    return lock;
}

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
typedef std::unique_ptr<FcPattern, PatternDeleter> Pattern;

}  // namespace

FontMatch MatchFont(const char* pattern) {
    if (!pattern)
        throw ArgumentNullException("pattern");
    std::lock_guard<std::mutex> guard(FontconfigLock());
    if (!FcInit())
        throw Exception("No font matches the pattern.");
    Pattern parsed(FcNameParse(reinterpret_cast<const FcChar8*>(pattern)));
    if (!parsed)
        throw Exception("No font matches the pattern.");
    FcConfigSubstitute(nullptr, parsed.get(), FcMatchPattern);
    FcDefaultSubstitute(parsed.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, parsed.get(), &result));
    FcChar8* file = nullptr;
    int index = 0;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file)
        throw Exception("No font matches the pattern.");
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) != FcResultMatch)
        index = 0;
    return FontMatch{reinterpret_cast<const char*>(file), index};
}

}  // namespace Vudadive2R
}  // namespace ORV
