#pragma once
// The row pass one pixel at a time: the reference that every faster variant
// must match, and what those variants run at a row's ends.
#include <cstdint>

#include "base/arithmetic.h"
#include "removal/logo_removal.h"

namespace pramvix {

// The settings of one row pass, as locals: the byte stores of the pass may
// alias anything, and the compiler would reload a rule's fields after each.
struct RowPass {
  int threshold;
  bool mark;
  bool everywhere;
  Overlay overlay;
  int edge;  // reference luma at the region's left edge

  RowPass(const RemovalRule& rule, int edge)
      : threshold(rule.threshold),
        mark(rule.logoPixels == LogoPixels::kMark),
        everywhere(rule.softening == Softening::kEverywhere),
        overlay(rule.overlay),
        edge(edge) {}

  // Pixel k. kNearEnds: k is within two pixels of a row end, so neighbours
  // are held inside the row; elsewhere they are read directly.
  template <bool kNearEnds>
  void Step(MutableLumaRow main, ConstLumaRow reference, int k) const {
    const int s = main[k];
    const int L = reference[k];
    int v = s;
    if (threshold == 0) {
      v = 255 - s;
    } else if (Abs(edge - L) >= threshold) {
      v = mark ? 255 - s : UncoveredLuma(s, L, overlay);
    }
    main[k] = static_cast<uint8_t>(v);

    const int left = kNearEnds ? reference.Held(k - 1) : reference[k - 1];
    const int right = kNearEnds ? reference.Held(k + 1) : reference[k + 1];
    // The pixel to the left takes the mean of itself, its left neighbour (as
    // this pass left it) and the new value; at the row's start there is none.
    if ((everywhere || Abs(left - right) >= threshold) && k >= 1) {
      const int leftOfLeft = kNearEnds ? main.Held(k - 2) : main[k - 2];
      main[k - 1] = static_cast<uint8_t>((leftOfLeft + main[k - 1] + v) / 3);
    }
  }

  // The reference lumas of a quiet span, one the vector passes leave alone:
  // within `reach` of the edge luma, under half the threshold, so that no
  // pixel is a threshold from the edge and no two pixels two apart are a
  // threshold apart; `low` and `high` are edge ∓ reach limited to 0 … 255.
  struct QuietBand {
    int low, high;
  };
  QuietBand Quiet() const {
    const int reach = threshold <= 0 ? 0 : (threshold > 511 ? 255 : (threshold - 1) / 2);
    return {edge > reach ? edge - reach : 0, edge + reach < 255 ? edge + reach : 255};
  }
};

// Pixels 2 … w − 2 of both rows have all their neighbours inside: the end of
// that inner part within a region row that ends at `end`.
inline int InnerEnd(MutableLumaRow main, ConstLumaRow reference, int end) {
  const int shorter = main.Width() < reference.Width() ? main.Width() : reference.Width();
  return shorter - 1 < end ? shorter - 1 : end;
}

}  // namespace pramvix
