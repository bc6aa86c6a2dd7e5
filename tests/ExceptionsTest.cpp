// The exception family: printing at construction, and catching every class
// through the base.
#include <gtest/gtest.h>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::CaptureStdout;

namespace {

template <class E>
void ExpectFamilyMember(const char* name) {
    // Default construction prints nothing; a message prints once, with a newline.
    EXPECT_EQ(CaptureStdout([] { E e; (void)e; }), "") << name;
    EXPECT_EQ(CaptureStdout([] { E e("some text"); (void)e; }), "some text\n") << name;
    const std::string printed = CaptureStdout([] {
        try {
            throw E("thrown");
        } catch (const Exception&) {
        }
    });
    EXPECT_EQ(printed, "thrown\n") << name;
}

}  // namespace

TEST(Exceptions, EveryClassPrintsItsMessageOnceAndIsAnException) {
    ExpectFamilyMember<Exception>("Exception");
    ExpectFamilyMember<ArgumentException>("ArgumentException");
    ExpectFamilyMember<ArgumentNullException>("ArgumentNullException");
    ExpectFamilyMember<ArgumentOutOfRangeException>("ArgumentOutOfRangeException");
    ExpectFamilyMember<NotSupportedException>("NotSupportedException");
    ExpectFamilyMember<NotImplementedException>("NotImplementedException");
    ExpectFamilyMember<InvalidOperationException>("InvalidOperationException");
    ExpectFamilyMember<InvalidCastException>("InvalidCastException");
    ExpectFamilyMember<FileNotFoundException>("FileNotFoundException");
    ExpectFamilyMember<IndexOutOfRangeException>("IndexOutOfRangeException");
    // The second text of ArgumentException is ignored.
    EXPECT_EQ(CaptureStdout([] { ArgumentException e("first", "second"); (void)e; }), "first\n");
    // The classes are empty markers: nothing kept.
    EXPECT_EQ(sizeof(Exception), 1u);
}
