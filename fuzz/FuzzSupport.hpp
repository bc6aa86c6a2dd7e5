// What every fuzz target shares: a reader of the input bytes, a small surface
// with a context, random drawing state, and the rules of what counts as a
// finding. An exception of the library's family or a standard exception is
// an expected outcome; a crash, a sanitizer report, or a draw over
// DrawSeconds aborts.
#ifndef VUDADIVE2R_FUZZ_FUZZSUPPORT_HPP
#define VUDADIVE2R_FUZZ_FUZZSUPPORT_HPP

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <vudadive2r.hpp>

namespace FuzzSupport {

using namespace ORV::Vudadive2R;

// Reads the input front to back; past the end every value is zero, so any
// prefix of an input is an input too.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool Empty() const { return position >= size; }
    size_t Remaining() const { return size - position; }

    uint8_t Byte() { return position < size ? data[position++] : 0; }
    uint16_t U16() { return uint16_t(Byte() | (Byte() << 8)); }
    uint32_t U32() { return uint32_t(U16()) | (uint32_t(U16()) << 16); }
    int32_t I32() { return int32_t(U32()); }

    float RawFloat() {
        const uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Mostly coordinates on and around a small surface, sometimes the
    // extremes: raw bit patterns (infinities, NaN, denormals) and powers of
    // two up to the float range.
    float Coordinate() {
        const uint8_t kind = Byte();
        if (kind < 192)
            return float(int16_t(U16())) / 64.0f;
        if (kind < 224)
            return RawFloat();
        const float sign = (kind & 1) ? -1.0f : 1.0f;
        return sign * std::ldexp(1.0f + Byte() / 256.0f, int(Byte() % 140) - 12);
    }

    // A small count, at most `limit`.
    unsigned Count(unsigned limit) { return limit ? Byte() % (limit + 1) : 0; }

    // The bytes left, for targets that end with a blob.
    std::vector<uint8_t> Rest() {
        std::vector<uint8_t> rest(data + std::min(position, size), data + size);
        position = size;
        return rest;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

// A small AB24 surface over memory of our own, addressed with a positive or
// a negative stride, and a context on it.
struct DrawTarget {
    std::vector<uint8_t> memory;
    orv_surface* surface = nullptr;
    std::shared_ptr<Context2D> context;

    explicit DrawTarget(FuzzInput& input) {
        const int width = 1 + input.Count(47);
        const int height = 1 + input.Count(47);
        const int pitch = 4 * width + 4 * int(input.Count(3));
        const int stride = input.Byte() & 1 ? -pitch : pitch;
        memory.assign(size_t(pitch) * size_t(height), 0x5a);
        surface = orv_surface_create_for_data(width, height, ZADOZI_FORMAT_AB24, stride, memory.data());
        if (!surface)
            std::abort();
        context = std::make_shared<Context2D>(surface);
    }
    ~DrawTarget() {
        context->Finish();
        context.reset();
        orv_surface_destroy(surface);
    }
    DrawTarget(const DrawTarget&) = delete;
    DrawTarget& operator=(const DrawTarget&) = delete;
};

inline Color RandomColor(FuzzInput& input) {
    return Color{input.Byte() / 255.0f, input.Byte() / 255.0f, input.Byte() / 255.0f, input.Byte() / 255.0f};
}

inline Matrix3 RandomMatrix(FuzzInput& input) {
    switch (input.Byte() % 4) {
    case 0: return Matrix3::Identity;
    case 1: return Matrix3::CreateTranslation(input.Coordinate(), input.Coordinate());
    case 2: return Matrix3::CreateRotation(input.Coordinate());
    default: {
        Matrix3 m = Matrix3::Identity;
        for (int index : {0, 1, 3, 4, 6, 7})
            m.M[index] = input.Coordinate();
        return m;
    }
    }
}

// Origin, blend mode (now and then out of range), scissor rectangles and the
// three transforms a draw reads.
inline void RandomRenderState(FuzzInput& input, Context2D& context) {
    RenderState& state = *context.renderState;
    state.origin = Origin(input.Byte() & 1);
    const uint8_t blend = input.Byte();
    state.blendMode = BlendMode(blend < 250 ? blend % 10 : int32_t(blend));
    state.scissoringEnabled = input.Byte() & 1;
    for (unsigned i = input.Count(3); i > 0; --i)
        state.scissorRectangles.push_back(IntRectangle{int8_t(input.Byte()), int8_t(input.Byte()),
                                                       input.Byte() < 240 ? int8_t(input.Byte()) : input.I32(),
                                                       int8_t(input.Byte())});
    context.transforms->path->Set(RandomMatrix(input));
    context.transforms->fillPaint->Set(RandomMatrix(input));
    context.transforms->strokePaint->Set(RandomMatrix(input));
}

// Makes the paint of a fill or a stroke from the input. A target for a
// paint passes its own maker to RandomFill and RandomStroke.
typedef std::function<std::shared_ptr<Paint>(FuzzInput&, const std::shared_ptr<Context2D>&)> PaintMaker;

inline std::shared_ptr<Paint> RandomColorPaint(FuzzInput& input, const std::shared_ptr<Context2D>& context) {
    return std::make_shared<ColorPaint>(context, RandomColor(input));
}

// A fill state, or none; with a paint, or none.
inline std::shared_ptr<FillState> RandomFill(FuzzInput& input, const std::shared_ptr<Context2D>& context,
                                             const PaintMaker& makePaint = RandomColorPaint) {
    const uint8_t choice = input.Byte();
    if (choice % 4 == 0)
        return nullptr;
    auto fill = std::make_shared<FillState>();
    fill->FillRule(FillRule(choice < 250 ? (choice >> 2) & 1 : choice));
    if (choice % 4 != 1)
        fill->Paint(makePaint(input, context));
    return fill;
}

// A stroke state, or none, with every parameter drawn from the input,
// including dash patterns of up to 20 records.
inline std::shared_ptr<StrokeState> RandomStroke(FuzzInput& input, const std::shared_ptr<Context2D>& context,
                                                 const PaintMaker& makePaint = RandomColorPaint) {
    const uint8_t choice = input.Byte();
    if (choice % 4 == 0)
        return nullptr;
    auto stroke = std::make_shared<StrokeState>();
    if (choice % 4 != 1)
        stroke->Paint(makePaint(input, context));
    stroke->LineWidth(input.Coordinate());
    const uint8_t styles = input.Byte();
    stroke->CapStyle(CapStyle(styles < 250 ? styles % 3 : styles));
    stroke->JoinStyle(JoinStyle(styles < 250 ? (styles / 3) % 3 : styles));
    stroke->MiterLimit(input.Coordinate());
    for (unsigned i = input.Count(20); i > 0; --i)
        stroke->dashPattern.push_back(Dash{input.Coordinate(), input.Coordinate()});
    stroke->DashPhase(input.Coordinate());
    return stroke;
}

// A surface and the state of one draw, read in this order: the surface,
// the render state and transforms, a fill, a stroke.
struct RandomScene {
    DrawTarget target;
    std::shared_ptr<FillState> fill;
    std::shared_ptr<StrokeState> stroke;

    explicit RandomScene(FuzzInput& input, const PaintMaker& makePaint = RandomColorPaint) : target(input) {
        RandomRenderState(input, *target.context);
        fill = RandomFill(input, target.context, makePaint);
        stroke = RandomStroke(input, target.context, makePaint);
    }
};

// A path of rectangles, ellipses and polylines from the rest of the input,
// for the targets that exercise a paint rather than the geometry.
inline std::unique_ptr<Path> RandomShapes(FuzzInput& input, const std::shared_ptr<Context2D>& context) {
    PathBuilder builder;
    auto f = [&] { return input.Coordinate(); };
    while (!input.Empty()) {
        try {
            switch (input.Byte() % 4) {
            case 0: builder.Rectangle(f(), f(), f(), f()); break;
            case 1: builder.Ellipse(f(), f(), f(), f()); break;
            case 2: builder.MoveTo(f(), f()); break;
            default: builder.LineTo(f(), f()); break;
            }
        } catch (const Exception&) {
        }
    }
    return builder.ToPath(context);
}

// Seconds of processor time this thread has used: a loaded machine
// stretches wall time, not the work a draw does.
inline double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The processor time a draw may take: one second plain. The sanitizers and
// the coverage instrumentation slow drawing about sevenfold, and AGG's own
// composition of a legitimate 250-pixel-wide stroke with round joins
// takes 0.13 s plain, 0.9 s instrumented; so twice that second here.
constexpr double DrawSeconds = 2.0;

// Runs `work` and aborts when it takes longer than DrawSeconds: unbounded
// work is a finding like a crash.
template <class Work>
void Timed(Work work) {
    const double start = ThreadSeconds();
    try {
        work();
    } catch (...) {
        if (ThreadSeconds() - start > DrawSeconds)
            std::abort();
        throw;
    }
    const double elapsed = ThreadSeconds() - start;
    if (elapsed > DrawSeconds) {
        std::fprintf(stderr, "draw took %.2f s\n", elapsed);
        std::abort();
    }
}

inline void TimedDraw(Path& path, const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke) {
    Timed([&] { path.Draw(fill, stroke); });
}

// A file that lives in memory only, named by its descriptor, for the
// targets that hand the library a file name.
struct MemoryFile {
    int descriptor;
    std::string name;
    explicit MemoryFile(const std::vector<uint8_t>& bytes) : descriptor(memfd_create("fuzz", 0)) {
        if (descriptor < 0 || write(descriptor, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            std::abort();
        name = "/proc/self/fd/" + std::to_string(descriptor);
    }
    ~MemoryFile() { close(descriptor); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
};

// Runs one input; the library's exceptions and standard exceptions are
// expected outcomes of bad input.
template <class Body>
int Expecting(Body body) {
    try {
        body();
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
    return 0;
}

}  // namespace FuzzSupport

#endif
