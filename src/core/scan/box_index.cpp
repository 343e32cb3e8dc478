#include "scan/box_index.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor::scan {
namespace {

// A box spanning more bands than this (a page-wide wrapper) is met by every
// query instead of being filed in each band it spans.
constexpr std::size_t wide_bands = 64;
constexpr std::size_t max_bands = std::size_t{1} << 20;

bool finite_rows(const Box& box) {
  return std::isfinite(box.y) && std::isfinite(box.height) && box.height >= 0 && std::isfinite(box.y + box.height);
}

}  // namespace

BoxIndex::BoxIndex(std::span<const Box> boxes) : seen_(boxes.size(), 0), size_(boxes.size()) {
  double top = std::numeric_limits<double>::infinity(), bottom = -top;
  std::size_t placeable_count = 0;
  for (const Box& box : boxes) {
    if (!finite_rows(box)) continue;
    top = std::min(top, box.y);
    bottom = std::max(bottom, box.y + box.height);
    ++placeable_count;
  }
  const double span = bottom - top;
  if (placeable_count > 0 && std::isfinite(span) && span > 0) {
    top_ = top;
    band_count_ = std::clamp<std::size_t>(placeable_count, 1, max_bands);
    band_height_ = span / static_cast<double>(band_count_);
  } else if (placeable_count > 0) {
    top_ = std::isfinite(top) ? top : 0;
  }

  // Counted first, then filled: one array for all bands.
  std::vector<std::uint32_t> counts(band_count_ + 1, 0);
  auto each_filed = [&](auto&& file) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (!placeable(boxes[i])) continue;
      const std::size_t first = band_of(boxes[i].y), last = band_of(boxes[i].y + boxes[i].height);
      for (std::size_t band = first; band <= last; ++band) file(band, i);
    }
  };
  each_filed([&](std::size_t band, std::size_t) { ++counts[band + 1]; });
  for (std::size_t band = 0; band < band_count_; ++band) counts[band + 1] += counts[band];
  band_start_ = counts;
  entries_.resize(counts.back());
  each_filed([&](std::size_t band, std::size_t i) { entries_[counts[band]++] = static_cast<std::uint32_t>(i); });
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (!placeable(boxes[i])) everywhere_.push_back(static_cast<std::uint32_t>(i));
}

std::size_t BoxIndex::band_of(double y) const {
  const double band = std::floor((y - top_) / band_height_);
  if (!(band > 0)) return 0;  // NaN too
  if (band >= static_cast<double>(band_count_ - 1)) return band_count_ - 1;
  return static_cast<std::size_t>(band);
}

bool BoxIndex::placeable(const Box& box) const {
  return finite_rows(box) && band_of(box.y + box.height) - band_of(box.y) < wide_bands;
}

std::vector<std::size_t> BoxIndex::maybe_overlapping(const Box& box) const {
  std::vector<std::size_t> found(everywhere_.begin(), everywhere_.end());
  if (++query_ == 0) {  // the stamps wrapped around: start them afresh
    std::fill(seen_.begin(), seen_.end(), 0);
    query_ = 1;
  }
  // Bands are monotonic in y, so a box that shares a row with the query
  // shares a band with it. An unplaceable query meets every band.
  const bool rows = finite_rows(box);
  const std::size_t first = rows ? band_of(box.y) : 0;
  const std::size_t last = rows ? band_of(box.y + box.height) : band_count_ - 1;
  for (std::size_t band = first; band <= last; ++band) {
    for (std::uint32_t at = band_start_[band]; at < band_start_[band + 1]; ++at) {
      const std::uint32_t i = entries_[at];
      if (seen_[i] == query_) continue;
      seen_[i] = query_;
      found.push_back(i);
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace vantor::scan
