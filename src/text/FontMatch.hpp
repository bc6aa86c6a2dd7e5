// Font lookup by name through fontconfig, as fc-match does it.
#ifndef VUDADIVE2R_TEXT_FONTMATCH_HPP
#define VUDADIVE2R_TEXT_FONTMATCH_HPP

#include <mutex>
#include <string>

namespace ORV {
namespace Vudadive2R {

struct FontMatch {
    std::string file;
    int index;
};

// The best match for a fontconfig pattern: the pattern parsed, the
// configuration's and the default substitutions made, then fontconfig's
// best match. Throws ArgumentNullException for a null pattern and Exception
// ("No font matches the pattern.") when nothing matches. Safe from several
// threads.
FontMatch MatchFont(const char* pattern);

// Held around every call into fontconfig.
std::mutex& FontconfigLock();

}  // namespace Vudadive2R
}  // namespace ORV

#endif
