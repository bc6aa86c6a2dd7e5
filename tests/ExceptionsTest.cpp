// The exception family: printing at construction, and catching every class
// through the base.
#include <gtest/gtest.h>

#include <typeinfo>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::CaptureStdout;

namespace {

// Default construction prints nothing; a message prints once, with a newline,
// and the exception is caught through the base.
template <class... Family>
void ExpectFamilyMembers() {
    auto expect = [](auto tag) {
        typedef decltype(tag) E;
        const char* name = typeid(E).name();
        EXPECT_EQ(CaptureStdout([] { E e; (void)e; }), "") << name;
        EXPECT_EQ(CaptureStdout([] { E e("some text"); (void)e; }), "some text\n") << name;
        EXPECT_EQ(CaptureStdout([] {
                      try {
                          throw E("thrown");
                      } catch (const Exception&) {
                      }
                  }),
                  "thrown\n")
            << name;
    };
    (expect(Family()), ...);
}

}  // namespace

TEST(Exceptions, EveryClassPrintsItsMessageOnceAndIsAnException) {
    ExpectFamilyMembers<Exception, ArgumentException, ArgumentNullException, ArgumentOutOfRangeException,
                        NotSupportedException, NotImplementedException, InvalidOperationException,
                        InvalidCastException, FileNotFoundException, IndexOutOfRangeException>();
    // The second text of ArgumentException is ignored.
    EXPECT_EQ(CaptureStdout([] { ArgumentException e("first", "second"); (void)e; }), "first\n");
}
