// A C++ client of the installed package only: it draws, catches the library's
// exceptions by their base, and checks the loaded library's version.
#include <cstdio>
#include <cstring>
#include <memory>

#include <vudadive2r.h>
#include <vudadive2r.hpp>

using namespace ORV::Vudadive2R;

static int failures = 0;

static void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "client: %s\n", what);
        ++failures;
    }
}

int main() {
    Check(orv_version_get() == VUDADIVE2R_VERSION, "the loaded library is not the version of the headers");
    Check(std::strcmp(PACKAGE_VERSION, VUDADIVE2R_VERSION_STRING) == 0,
          "the package's version is not the version of the headers");

    orv_surface* surface = orv_surface_create(8, 4, ZADOZI_FORMAT_AB24);
    {
        auto context = std::make_shared<Context2D>(surface);
        context->renderState->origin = Origin::TopLeft;
        PathBuilder builder;
        builder.Rectangle(0, 0, 4, 4);  // corner and size: columns 0 to 3
        auto fill = std::make_shared<FillState>();
        fill->Paint(std::make_shared<ColorPaint>(context, NamedColor::Blue));
        builder.ToPath(context)->Draw(fill, nullptr);
        context->Finish();

        bool caught = false;
        try {
            builder.Ellipse(0, 0, 4, -1);
        } catch (const Exception&) {  // thrown as ArgumentOutOfRangeException
            caught = true;
        }
        Check(caught, "an exception of the library is not caught as its base class");
    }

    orv_mapping* mapping = orv_surface_create_mapping(surface, ZADOZI_MAPPING_READ_WRITE);
    const unsigned char* row = static_cast<const unsigned char*>(orv_mapping_sync_start(mapping));
    const unsigned char blue[4] = {0, 0, 255, 255}, clear[4] = {0, 0, 0, 0};
    Check(std::memcmp(row + 3 * 4, blue, 4) == 0, "the rectangle is not filled");
    Check(std::memcmp(row + 4 * 4, clear, 4) == 0, "the fill leaks past the rectangle");
    orv_mapping_sync_end(mapping);
    orv_mapping_destroy(mapping);
    orv_surface_destroy(surface);
    return failures == 0 ? 0 : 1;
}
