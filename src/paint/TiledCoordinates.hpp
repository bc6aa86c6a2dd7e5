// Image coordinates as the tilings read them, for the bilinear generator
// of SpanImageBilinearTiled.hpp. A coordinate v samples two columns (or
// rows), v and v + 1, which depend on v's phase alone: a coordinate class
// names the phases and the column of each.
#ifndef VUDADIVE2R_PAINT_TILEDCOORDINATES_HPP
#define VUDADIVE2R_PAINT_TILEDCOORDINATES_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// Wrapped as agg::wrap_mode_repeat or agg::wrap_mode_reflect wraps it, and
// followed along a span by adding the change of the coordinate instead of
// dividing at every pixel.
// Mirrored false: coordinate v reads column v mod size. Mirrored true: with
// m = v mod (2 size), column m below size, else 2 size - 1 - m. Both are the
// accessors' results for every coordinate the image paint samples (their
// remainders are taken after adding a multiple of the period that keeps the
// dividend non-negative). `size` 1 to 2^28; coordinates within +-2^29.
template <bool Mirrored>
class PeriodicCoordinate {
public:
    // Phases repeat: Step() needs moves of at most Period().
    static constexpr bool Periodic = true;
    // Every column is an image column.
    static constexpr bool ReadsOutside = false;

    explicit PeriodicCoordinate(int size) : size(size), period(Mirrored ? 2 * size : size) {}

    // The coordinate's period: a move by at most this much is stepped.
    int Period() const { return period; }

    void Start(int v) {
        coordinate = v;
        phase = v % period;
        if (phase < 0)
            phase += period;
    }

    // Moves to `v`, at most Period() away from the current coordinate.
    void Step(int v) {
        phase += v - coordinate;
        coordinate = v;
        if (phase >= period)
            phase -= period;
        else if (phase < 0)
            phase += period;
    }

    // The column (or row) of the coordinate, and of the coordinate plus one.
    int Wrapped() const { return Fold(phase); }
    int WrappedNext() const { return Fold(NextPhase(phase)); }

    // The coordinate modulo the period, 0 to Period() - 1, which the two
    // columns above depend on alone.
    int Phase() const { return phase; }
    int NextPhase(int m) const { return m + 1 == period ? 0 : m + 1; }
    // The column of a phase, and the column after it.
    int Fold(int m) const {
        if (Mirrored && m >= size)
            return period - 1 - m;
        return m;
    }
    int FoldNext(int m) const { return Fold(NextPhase(m)); }

private:
    int size, period;
    int coordinate = 0, phase = 0;
};

// Bounded by the image, as agg::image_accessor_clip (Clamped false: a
// column outside the image reads the tile colour, here column -1) or
// agg::image_accessor_clone (Clamped true: the nearest edge column) reads
// the columns of a sample. Coordinates up to 2 before the first column and
// from the last on differ no further: phase p stands for v = p - 2, v
// clamped to -2 .. size. `size` 1 to 2^28; coordinates within +-2^29.
template <bool Clamped>
class BoundedCoordinate {
public:
    static constexpr bool Periodic = false;
    static constexpr bool ReadsOutside = !Clamped;
    // The phase of coordinate v is v + Before, clamped to 0 .. Period() - 1.
    static constexpr int Before = 2;

    explicit BoundedCoordinate(int size) : size(size) {}

    int Period() const { return size + Before + 1; }

    void Start(int v) { phase = v < -Before ? 0 : v > size ? size + Before : v + Before; }
    void Step(int v) { Start(v); }

    int Wrapped() const { return Fold(phase); }
    int WrappedNext() const { return FoldNext(phase); }
    int Phase() const { return phase; }
    int Fold(int m) const { return Column(m - Before); }
    int FoldNext(int m) const { return Column(m - Before + 1); }

private:
    int Column(int v) const {
        if (v >= 0 && v < size)
            return v;
        if (!Clamped)
            return -1;
        return v < 0 ? 0 : size - 1;
    }

    int size;
    int phase = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
