// The compositing operations that drawing reaches, as exact integer
// arithmetic on lanes of 32-bit integers, one lane per channel (R, G, B, A).
//
// The pixel format's operations work in doubles: every byte becomes b / 255,
// the coverage k scales the source by k / 255, and the result r is stored as
// the low eight bits of unsigned(r x 255 + 0.5). Each result is therefore a
// rational V = N / 65025 (N an integer below 2^26) rounded half up, and as
// 65025 is odd, V never lies within 1 / 130050 of a tie while the doubles'
// error stays below 1e-12: rounding N / 65025 in integers gives the same
// byte. Clamps to the result alpha compare the same rationals, so they are
// minima before rounding. Source-over is already integer in the pixel format
// and is written out as it is.
//
// A lane type L provides +, -, Mul (factors below 2^16), Min, Max, IsZero,
// Select, AlphaBroadcast (each pixel's alpha lane to its four lanes) and
// RoundDivide65025. The same templates serve the portable loops and each
// instruction set, so all compute one formula.
#ifndef VUDADIVE2R_COMPOSITE_BLENDOPERATIONS_HPP
#define VUDADIVE2R_COMPOSITE_BLENDOPERATIONS_HPP

namespace ORV {
namespace Vudadive2R {

// The operations of the blend modes, in the order of the span loop tables.
enum class BlendOperation { Source, SourceOver, DestinationOver, SourceIn, DestinationIn,
                            Multiply, Screen, Darken, Lighten, Plus, Count };

namespace BlendFormulas {

// The formulas are a few instructions each; inlining them into the span
// loops is what lets the lanes stay in registers.
#if defined(__GNUC__)
#define VUDADIVE2R_BLEND_INLINE inline __attribute__((always_inline))
#else
#define VUDADIVE2R_BLEND_INLINE inline
#endif

// Inputs of one operation: premultiplied source S (alpha lane = A), backdrop
// D, each pixel's source alpha A, backdrop alpha Da and coverage k.
template <class L>
struct Inputs {
    L S, A, D, Da, k;
};

// Rounds N / 65025 and clamps each colour to the result alpha where the
// operation does; pixels it leaves alone keep their backdrop.
template <class L>
VUDADIVE2R_BLEND_INLINE L Finish(const L& numerator, const L& keep, bool clampToAlpha, const L& backdrop) {
    L result = RoundDivide65025(numerator);
    if (clampToAlpha)
        result = Min(result, AlphaBroadcast(result));
    return Select(keep, backdrop, result);
}

// (t + (t >> 8)) >> 8. Lanes of 16 bits give it in fewer steps as the high
// half of t x 257, equal for every t below 2^16 (their own FoldBytes).
template <class L>
VUDADIVE2R_BLEND_INLINE L FoldBytes(const L& t) {
    return ShiftRight8(t + ShiftRight8(t));
}

// The pixel format's integer multiply: (t + (t >> 8)) >> 8 with t = a b + 128.
template <class L>
VUDADIVE2R_BLEND_INLINE L MultiplyBytes(const L& a, const L& b) {
    return FoldBytes(Mul(a, b) + L(128));
}

// D' = D + S k - D (A k), all in the pixel format's byte multiply.
struct SourceOver {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        return BlendTerms(in.D, MultiplyBytes(in.S, in.k), MultiplyBytes(in.A, in.k));
    }
    // The same given S k and A k, which a run of one colour and one
    // coverage computes once.
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L BlendTerms(const L& D, const L& sourceTerm, const L& alphaTerm) {
        return D + sourceTerm - MultiplyBytes(D, alphaTerm);
    }
};

// D' = (S k + D (255 - k)) / 255: at full coverage S itself.
struct Source {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L numerator = Mul(Mul(in.S, in.k) + Mul(in.D, L(255) - in.k), L(255));
        return Finish(numerator, L(0), false, in.D);
    }
};

// D' = D + S k (255 - Da) / 65025; not clamped, so the byte may wrap.
struct DestinationOver {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L numerator = Mul(in.D, L(65025)) + Mul(Mul(in.S, in.k), L(255) - in.Da);
        return Finish(numerator, L(0), false, in.D);
    }
};

// D' = D (255 - k) / 255 + S k Da / 65025; a pixel without alpha is kept.
struct SourceIn {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L numerator = Mul(Mul(in.D, L(255) - in.k), L(255)) + Mul(Mul(in.S, in.k), in.Da);
        return Finish(numerator, IsZero(in.Da), false, in.D);
    }
};

// D' = D (255 (255 - k) + k A) / 65025.
struct DestinationIn {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L numerator = Mul(in.D, Mul(L(255) - in.k, L(255)) + Mul(in.k, in.A));
        return Finish(numerator, L(0), false, in.D);
    }
};

// The separable operations below leave a pixel alone where A k is zero and
// clamp colours to the result alpha. Applied to the alpha lane, each colour
// formula gives the alpha formula Da + A k (255 - Da) / 65025.
struct Multiply {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L sk = Mul(in.S, in.k), ak = Mul(in.A, in.k);
        const L numerator = Mul(sk, L(255) + in.D - in.Da) + Mul(in.D, L(65025) - ak);
        return Finish(numerator, IsZero(ak), true, in.D);
    }
};

struct Screen {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L sk = Mul(in.S, in.k);
        const L numerator = Mul(in.D, L(65025)) + Mul(sk, L(255) - in.D);
        return Finish(numerator, IsZero(Mul(in.A, in.k)), true, in.D);
    }
};

template <bool Lighter>
struct DarkenOrLighten {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L sk = Mul(in.S, in.k), ak = Mul(in.A, in.k);
        const L sourceTerm = Mul(sk, in.Da), backdropTerm = Mul(in.D, ak);
        const L chosen = Lighter ? Max(sourceTerm, backdropTerm) : Min(sourceTerm, backdropTerm);
        const L numerator = chosen + Mul(sk, L(255) - in.Da) + Mul(in.D, L(65025) - ak);
        return Finish(numerator, IsZero(ak), true, in.D);
    }
};
typedef DarkenOrLighten<false> Darken;
typedef DarkenOrLighten<true> Lighten;

// D' = min(D + S k / 255, 255), each colour then clamped to the alpha.
struct Plus {
    template <class L>
    static VUDADIVE2R_BLEND_INLINE L Blend(const Inputs<L>& in) {
        const L numerator = Min(Mul(in.D, L(65025)) + Mul(Mul(in.S, in.k), L(255)), L(255 * 65025));
        return Finish(numerator, IsZero(Mul(in.A, in.k)), true, in.D);
    }
};

}  // namespace BlendFormulas
}  // namespace Vudadive2R
}  // namespace ORV

#endif
