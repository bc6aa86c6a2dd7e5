// The exception family: printing at construction, and catching every class
// through the base.
#include <gtest/gtest.h>

#include <tuple>
#include <typeinfo>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::CaptureStdout;

TEST(Exceptions, EveryClassPrintsItsMessageOnceAndIsAnException) {
    // Default construction prints nothing; a message prints once, with a
    // newline, when the exception is made, and it is caught through the base.
    auto expect = [](auto tag) {
        typedef decltype(tag) E;
        EXPECT_EQ(CaptureStdout([] { E e; (void)e; }), "") << typeid(E).name();
        const std::string printed = CaptureStdout([] {
            try {
                throw E("thrown");
            } catch (const Exception&) {
            }
        });
        EXPECT_EQ(printed, "thrown\n") << typeid(E).name();
    };
    std::apply([&](auto... tags) { (expect(tags), ...); },
               std::tuple<Exception, ArgumentException, ArgumentNullException, ArgumentOutOfRangeException,
                          NotSupportedException, NotImplementedException, InvalidOperationException,
                          InvalidCastException, FileNotFoundException, IndexOutOfRangeException>());
    // The second text of ArgumentException is ignored.
    EXPECT_EQ(CaptureStdout([] { ArgumentException e("first", "second"); (void)e; }), "first\n");
}
