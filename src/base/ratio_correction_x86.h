#pragma once
// RatioCorrection on eight pixels at a time. First in single precision
// (single_quotients_x86.h), kept where every quotient is sure to be the
// double computation's; otherwise in double precision, two (SSE2) or four
// (AVX2) lanes per step.
// Eight equal reference lumas, common inside a logo, share one ratio worked
// out once. Where every ratio is large enough the double quotients truncate
// straight to 32-bit lanes; otherwise every lane takes the whole computation,
// saturation and non-finite quotients included. An object serves one row, on
// one thread.
#include "base/ratio_correction.h"
#include "base/single_quotients_x86.h"
#include "base/vector_lanes.h"

#if PRAMVIX_X86_64
namespace pramvix {

// Whether the pixels of `lanes` (a byte mask of eight 16-bit lanes) are all
// set in two masks of four 32-bit lanes.
inline bool AllSure(__m128i low, __m128i high, unsigned lanes) {
  const unsigned sure = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi32(low, high)));
  return (lanes & ~sure) == 0;
}

class RatioCorrectionSse2 {
 public:
  explicit RatioCorrectionSse2(const RatioCorrection& c)
      : c_(c),
        top_(_mm_set1_pd(c.top)),
        base_(_mm_set1_pd(c.base)),
        gain_(_mm_set1_pd(c.gain)),
        offset_(_mm_set1_pd(static_cast<double>(c.offset))) {}

  // The pixels of eight that `lanes` (a byte mask) selects: luma s over
  // reference luma x, in 16-bit lanes. Lanes left out come back with any
  // value.
  __attribute__((always_inline)) __m128i operator()(__m128i s, __m128i x, unsigned lanes) const {
    const int first = _mm_extract_epi16(x, 0);
    const bool flat =
        _mm_movemask_epi8(_mm_cmpeq_epi16(x, _mm_set1_epi16(static_cast<int16_t>(first)))) == 0xFFFF;
    if (quick_) {
      __m128i quick;
      __m128 low, high;  // 1 / ratio of pixels 0 … 3 and 4 … 7
      if (flat) {
        flat_.Large(first);
        low = high = _mm_shuffle_ps(FloatOf(flat_.Reciprocal()), FloatOf(flat_.Reciprocal()), 0);
      } else {
        const __m128i zero = _mm_setzero_si128();
        low = QuickReciprocals(_mm_unpacklo_epi16(x, zero));
        high = QuickReciprocals(_mm_unpackhi_epi16(x, zero));
      }
      if (Quick(s, low, high, lanes, quick)) return quick;
    }
    if (flat && flat_.Large(first)) return Direct(s, _mm_set1_pd(flat_.Value()), lanes);
    return EachPairSse2(s, x, lanes, *this);
  }

  // The whole computation on two pixels, in doubles.
  __m128d operator()(__m128d s, __m128d x) const {
    const __m128d b = _mm_sub_pd(top_, x);
    const __m128d d = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(x, base_), gain_), _mm_set1_pd(0.001));
    const __m128d q = TruncatedSse2(_mm_div_pd(_mm_sub_pd(top_, s), _mm_div_pd(b, d)));
    const __m128d v = _mm_add_pd(c_.sign > 0 ? _mm_add_pd(s, q) : _mm_sub_pd(s, q), offset_);
    return _mm_min_pd(_mm_max_pd(v, _mm_set1_pd(c_.low)), _mm_set1_pd(c_.high));
  }

 private:
  // One ratio r, large enough, for all eight.
  __m128i Direct(__m128i s, __m128d r, unsigned lanes) const {
    const __m128i zero = _mm_setzero_si128();
    const auto four = [&](__m128i s32) {
      const __m128i low = _mm_cvttpd_epi32(_mm_div_pd(_mm_sub_pd(top_, _mm_cvtepi32_pd(s32)), r));
      const __m128i high = _mm_cvttpd_epi32(_mm_div_pd(_mm_sub_pd(top_, _mm_cvtepi32_pd(_mm_srli_si128(s32, 8))), r));
      const __m128i q = _mm_unpacklo_epi64(low, high);
      const __m128i moved = c_.sign > 0 ? _mm_add_epi32(s32, q) : _mm_sub_epi32(s32, q);
      return _mm_add_epi32(moved, _mm_set1_epi32(c_.offset));
    };
    const __m128i low = (lanes & 0x00FF) ? four(_mm_unpacklo_epi16(s, zero)) : zero;
    const __m128i high = (lanes & 0xFF00) ? four(_mm_unpackhi_epi16(s, zero)) : zero;
    // Packing saturates to 16 bits, which keeps every value's side of the limits.
    const __m128i packed = _mm_packs_epi32(low, high);
    return _mm_min_epi16(_mm_max_epi16(packed, _mm_set1_epi16(static_cast<int16_t>(c_.low))),
                         _mm_set1_epi16(static_cast<int16_t>(c_.high)));
  }


  __m128 QuickReciprocals(__m128i x32) const {
    return QuickReciprocalsSse2(_mm_cvtepi32_ps(x32), topFloat_, baseFloat_, gainFloat_);
  }

  // The corrected lumas from the quick quotients of reciprocals wLow (pixels
  // 0 … 3) and wHigh (4 … 7), if every one of `lanes` is sure.
  bool Quick(__m128i s, __m128 wLow, __m128 wHigh, unsigned lanes, __m128i& out) const {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sLow = _mm_unpacklo_epi16(s, zero), sHigh = _mm_unpackhi_epi16(s, zero);
    __m128i sureLow, sureHigh;
    const __m128i qLow = SureQuotientsSse2(_mm_sub_ps(topFloat_, _mm_cvtepi32_ps(sLow)), wLow, sureLow);
    const __m128i qHigh = SureQuotientsSse2(_mm_sub_ps(topFloat_, _mm_cvtepi32_ps(sHigh)), wHigh, sureHigh);
    if (!AllSure(sureLow, sureHigh, lanes)) return false;
    const __m128i offset = _mm_set1_epi32(c_.offset);
    const __m128i low = _mm_add_epi32(c_.sign > 0 ? _mm_add_epi32(sLow, qLow) : _mm_sub_epi32(sLow, qLow), offset);
    const __m128i high =
        _mm_add_epi32(c_.sign > 0 ? _mm_add_epi32(sHigh, qHigh) : _mm_sub_epi32(sHigh, qHigh), offset);
    out = Limited(_mm_packs_epi32(low, high));
    return true;
  }

  // Packing to 16 bits saturates, which keeps every value's side of the limits.
  __m128i Limited(__m128i packed) const {
    return _mm_min_epi16(_mm_max_epi16(packed, _mm_set1_epi16(static_cast<int16_t>(c_.low))),
                         _mm_set1_epi16(static_cast<int16_t>(c_.high)));
  }

  RatioCorrection c_;
  __m128d top_, base_, gain_, offset_;
  bool quick_ = c_.SinglePrecisionFits();
  // Exact as floats where quick_ holds.
  __m128 topFloat_ = _mm_set1_ps(quick_ ? static_cast<float>(c_.top) : 0.0f);
  __m128 baseFloat_ = _mm_set1_ps(quick_ ? static_cast<float>(c_.base) : 0.0f);
  __m128 gainFloat_ = _mm_set1_ps(quick_ ? static_cast<float>(c_.gain) : 0.0f);
  mutable FlatRatio flat_{c_};
};

class RatioCorrectionAvx2 {
 public:
  // sureButAtTop: SureButAtTop(c) holds, so that sixteen lanes none of
  // whose pixels lie over x = top take their quick quotients untested, each
  // lane with its own 1 / ratio.
  PRAMVIX_TARGET_AVX2 explicit RatioCorrectionAvx2(const RatioCorrection& c, bool sureButAtTop = false)
      : c_(c),
        top_(_mm256_set1_pd(c.top)),
        base_(_mm256_set1_pd(c.base)),
        gain_(_mm256_set1_pd(c.gain)),
        offset_(_mm256_set1_pd(static_cast<double>(c.offset))),
        minimumRatios_(_mm256_set1_pd(c.MinimumRatio())),
        sure_(sureButAtTop && quick_),
        topLuma_(_mm256_set1_epi16(static_cast<int16_t>(c.top >= 0 && c.top <= 255 ? c.top : -1))) {}

  // As RatioCorrectionSse2's.
  PRAMVIX_TARGET_AVX2 __attribute__((always_inline)) __m128i operator()(__m128i s, __m128i x, unsigned lanes) const {
    const int first = _mm_extract_epi16(x, 0);
    const bool flat =
        _mm_movemask_epi8(_mm_cmpeq_epi16(x, _mm_set1_epi16(static_cast<int16_t>(first)))) == 0xFFFF;
    const __m256i x32 = _mm256_cvtepu16_epi32(x);
    if (quick_) {
      __m128i quick;
      __m256 w;  // 1 / ratio of each pixel
      if (flat) {
        flat_.Large(first);
        w = _mm256_broadcastss_ps(FloatOf(flat_.Reciprocal()));
      } else {
        w = QuickReciprocalsAvx2(_mm256_cvtepi32_ps(x32), topFloat_, baseFloat_, gainFloat_);
      }
      if (Quick(s, w, lanes, quick)) return quick;
    }
    if (flat) {
      if (flat_.Large(first)) return Direct(s, _mm256_set1_pd(flat_.Value()), _mm256_set1_pd(flat_.Value()), lanes);
      return EachQuadAvx2(s, x, lanes, *this);
    }
    const __m256d low = Ratio(_mm256_cvtepi32_pd(_mm256_castsi256_si128(x32)));
    const __m256d high = Ratio(_mm256_cvtepi32_pd(_mm256_extracti128_si256(x32, 1)));
    const int small = _mm256_movemask_pd(_mm256_cmp_pd(Magnitude(low), minimumRatios_, _CMP_NGE_UQ)) |
                      _mm256_movemask_pd(_mm256_cmp_pd(Magnitude(high), minimumRatios_, _CMP_NGE_UQ));
    if (small == 0) return Direct(s, low, high, lanes);
    return EachQuadAvx2(s, x, lanes, *this);
  }

  // Sixteen pixels, `lanes` a byte mask of sixteen 16-bit lanes, not 0. The
  // logo pixels of a block often share one reference luma though the others
  // do not (a logo's edge): they then share one ratio.
  PRAMVIX_TARGET_AVX2 __attribute__((always_inline)) __m256i operator()(__m256i s, __m256i x, unsigned lanes) const {
    if (sure_ && (lanes & static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(x, topLuma_)))) == 0) {
      return Sure(s, QuickReciprocalsAvx2(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(x))),
                                          topFloat_, baseFloat_, gainFloat_),
                  QuickReciprocalsAvx2(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(x, 1))),
                                       topFloat_, baseFloat_, gainFloat_));
    }
    if (quick_) {
      alignas(32) uint16_t lumas[16];
      _mm256_store_si256(reinterpret_cast<__m256i*>(lumas), x);
      const int first = lumas[__builtin_ctz(lanes) / 2];
      const unsigned same = static_cast<unsigned>(
          _mm256_movemask_epi8(_mm256_cmpeq_epi16(x, _mm256_set1_epi16(static_cast<int16_t>(first)))));
      __m256 low, high;  // 1 / ratio of pixels 0 … 7 and 8 … 15
      if ((lanes & ~same) == 0) {
        low = high = _mm256_set1_ps(SharedReciprocal(first));
      } else {
        low = QuickReciprocalsAvx2(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(x))), topFloat_,
                                   baseFloat_, gainFloat_);
        high = QuickReciprocalsAvx2(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(x, 1))),
                                    topFloat_, baseFloat_, gainFloat_);
      }
      __m256i quick;
      if (Quick(s, low, high, lanes, quick)) return quick;
    }
    const __m128i zero = _mm_setzero_si128();
    const unsigned lowLanes = lanes & 0xFFFF, highLanes = lanes >> 16;
    const __m128i low = lowLanes ? (*this)(_mm256_castsi256_si128(s), _mm256_castsi256_si128(x), lowLanes) : zero;
    const __m128i high =
        highLanes ? (*this)(_mm256_extracti128_si256(s, 1), _mm256_extracti128_si256(x, 1), highLanes) : zero;
    return _mm256_set_m128i(high, low);
  }

  // The whole computation on four pixels, in doubles.
  PRAMVIX_TARGET_AVX2 __m256d operator()(__m256d s, __m256d x) const {
    const __m256d q = TruncatedAvx2(_mm256_div_pd(_mm256_sub_pd(top_, s), Ratio(x)));
    const __m256d v = _mm256_add_pd(c_.sign > 0 ? _mm256_add_pd(s, q) : _mm256_sub_pd(s, q), offset_);
    return _mm256_min_pd(_mm256_max_pd(v, _mm256_set1_pd(c_.low)), _mm256_set1_pd(c_.high));
  }

 private:
  PRAMVIX_TARGET_AVX2 static __m256d Magnitude(__m256d v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }

  PRAMVIX_TARGET_AVX2 __m256d Ratio(__m256d x) const {
    const __m256d b = _mm256_sub_pd(top_, x);
    const __m256d d = _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(x, base_), gain_), _mm256_set1_pd(0.001));
    return _mm256_div_pd(b, d);
  }

  // Ratios low (pixels 0 … 3) and high (4 … 7), all large enough.
  PRAMVIX_TARGET_AVX2 __m128i Direct(__m128i s, __m256d low, __m256d high, unsigned lanes) const {
    const __m256i s32 = _mm256_cvtepu16_epi32(s);
    const __m128i zero = _mm_setzero_si128();
    const __m128i qLow = (lanes & 0x00FF) ? Quotients(_mm256_castsi256_si128(s32), low) : zero;
    const __m128i qHigh = (lanes & 0xFF00) ? Quotients(_mm256_extracti128_si256(s32, 1), high) : zero;
    const __m256i q = _mm256_set_m128i(qHigh, qLow);
    const __m256i moved = c_.sign > 0 ? _mm256_add_epi32(s32, q) : _mm256_sub_epi32(s32, q);
    const __m256i v = _mm256_add_epi32(moved, _mm256_set1_epi32(c_.offset));
    // Packing saturates to 16 bits, which keeps every value's side of the limits.
    const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    return _mm_min_epi16(_mm_max_epi16(packed, _mm_set1_epi16(static_cast<int16_t>(c_.low))),
                         _mm_set1_epi16(static_cast<int16_t>(c_.high)));
  }

  PRAMVIX_TARGET_AVX2 __m128i Quotients(__m128i s4, __m256d r) const {
    return _mm256_cvttpd_epi32(_mm256_div_pd(_mm256_sub_pd(top_, _mm256_cvtepi32_pd(s4)), r));
  }


  // As RatioCorrectionSse2's, eight lanes at once.
  PRAMVIX_TARGET_AVX2 bool Quick(__m128i s, __m256 w, unsigned lanes, __m128i& out) const {
    const __m256i s32 = _mm256_cvtepu16_epi32(s);
    __m256i sure;
    const __m256i q = SureQuotientsAvx2(_mm256_sub_ps(topFloat_, _mm256_cvtepi32_ps(s32)), w, sure);
    if (!AllSure(_mm256_castsi256_si128(sure), _mm256_extracti128_si256(sure, 1), lanes)) return false;
    const __m256i moved = c_.sign > 0 ? _mm256_add_epi32(s32, q) : _mm256_sub_epi32(s32, q);
    const __m256i v = _mm256_add_epi32(moved, _mm256_set1_epi32(c_.offset));
    const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    out = _mm_min_epi16(_mm_max_epi16(packed, _mm_set1_epi16(static_cast<int16_t>(c_.low))),
                        _mm_set1_epi16(static_cast<int16_t>(c_.high)));
    return true;
  }

  // As the eight-pixel Quick, on sixteen: wLow for pixels 0 … 7, wHigh for 8 … 15.
  PRAMVIX_TARGET_AVX2 bool Quick(__m256i s, __m256 wLow, __m256 wHigh, unsigned lanes, __m256i& out) const {
    const __m256i sLow = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(s));
    const __m256i sHigh = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(s, 1));
    __m256i sureLow, sureHigh;
    const __m256i qLow = SureQuotientsAvx2(_mm256_sub_ps(topFloat_, _mm256_cvtepi32_ps(sLow)), wLow, sureLow);
    const __m256i qHigh = SureQuotientsAvx2(_mm256_sub_ps(topFloat_, _mm256_cvtepi32_ps(sHigh)), wHigh, sureHigh);
    // Packing works within 128-bit halves; the permutation puts the lanes back in order.
    const __m256i sure = _mm256_permute4x64_epi64(_mm256_packs_epi32(sureLow, sureHigh), 0xD8);
    if ((lanes & ~static_cast<unsigned>(_mm256_movemask_epi8(sure))) != 0) return false;
    out = Moved(sLow, sHigh, qLow, qHigh);
    return true;
  }

  // 1 / ratio(x) in single precision as FlatRatio rounds it, worked out once
  // per luma: rows of other lumas take turns in the strips of the removal.
  float SharedReciprocal(int x) const {
    uint64_t& word = known_[x >> 6];
    const uint64_t bit = uint64_t{1} << (x & 63);
    if ((word & bit) == 0) {
      shared_[x] = static_cast<float>(1.0 / c_.Ratio(x));
      word |= bit;
    }
    return shared_[x];
  }

  // Quick's quotients where they are known to be sure, without the test. A
  // sure quotient is where p·(1 − 2^−20) and p·(1 + 2^−20) truncate alike;
  // p lies between the two (rounding keeps each on its side of p), and
  // truncating is monotonic, so p truncates alike too.
  PRAMVIX_TARGET_AVX2 __m256i Sure(__m256i s, __m256 wLow, __m256 wHigh) const {
    const __m256i sLow = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(s));
    const __m256i sHigh = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(s, 1));
    const auto quotients = [&](__m256i s32, __m256 w) PRAMVIX_TARGET_AVX2 {
      return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_sub_ps(topFloat_, _mm256_cvtepi32_ps(s32)), w));
    };
    return Moved(sLow, sHigh, quotients(sLow, wLow), quotients(sHigh, wHigh));
  }

  // s + sign·q + offset of sixteen lanes, limited.
  PRAMVIX_TARGET_AVX2 __m256i Moved(__m256i sLow, __m256i sHigh, __m256i qLow, __m256i qHigh) const {
    const __m256i offset = _mm256_set1_epi32(c_.offset);
    __m256i low = c_.sign > 0 ? _mm256_add_epi32(sLow, qLow) : _mm256_sub_epi32(sLow, qLow);
    __m256i high = c_.sign > 0 ? _mm256_add_epi32(sHigh, qHigh) : _mm256_sub_epi32(sHigh, qHigh);
    if (c_.offset != 0) low = _mm256_add_epi32(low, offset), high = _mm256_add_epi32(high, offset);
    // Packing saturates to 16 bits, which keeps every value's side of the limits.
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
    return _mm256_min_epi16(_mm256_max_epi16(packed, _mm256_set1_epi16(static_cast<int16_t>(c_.low))),
                            _mm256_set1_epi16(static_cast<int16_t>(c_.high)));
  }

  RatioCorrection c_;
  __m256d top_, base_, gain_, offset_, minimumRatios_;
  bool quick_ = c_.SinglePrecisionFits();
  bool sure_;
  __m256i topLuma_;  // x = top in every lane, or −1 where top is not a luma
  // As RatioCorrectionSse2's.
  __m256 topFloat_ = _mm256_set1_ps(quick_ ? static_cast<float>(c_.top) : 0.0f);
  __m256 baseFloat_ = _mm256_set1_ps(quick_ ? static_cast<float>(c_.base) : 0.0f);
  __m256 gainFloat_ = _mm256_set1_ps(quick_ ? static_cast<float>(c_.gain) : 0.0f);
  mutable FlatRatio flat_{c_};
  mutable uint64_t known_[4] = {};  // the lumas whose shared_ is worked out
  mutable float shared_[256];
};

}  // namespace pramvix
#endif
