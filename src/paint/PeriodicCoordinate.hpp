// An image coordinate wrapped as agg::wrap_mode_repeat or
// agg::wrap_mode_reflect wraps it, followed along a span by adding the
// change of the coordinate instead of dividing at every pixel.
#ifndef VUDADIVE2R_PAINT_PERIODICCOORDINATE_HPP
#define VUDADIVE2R_PAINT_PERIODICCOORDINATE_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// Mirrored false: coordinate v reads column v mod size. Mirrored true: with
// m = v mod (2 size), column m below size, else 2 size - 1 - m. Both are the
// accessors' results for every coordinate the image paint samples (their
// remainders are taken after adding a multiple of the period that keeps the
// dividend non-negative). `size` 1 to 2^28; coordinates within +-2^29.
template <bool Mirrored>
class PeriodicCoordinate {
public:
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
    // The column of a phase.
    int Fold(int m) const {
        if (Mirrored && m >= size)
            return period - 1 - m;
        return m;
    }

private:

    int size, period;
    int coordinate = 0, phase = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
