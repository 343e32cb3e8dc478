// Finding the boxes that may overlap a box without comparing it with every
// box on the page: boxes are filed in horizontal bands by the rows they span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantor::scan {

struct Box {
  double x, y, width, height;
  double area() const { return width * height; }
  // Strict on all sides: boxes that only touch do not overlap.
  bool overlaps(const Box& b) const {
    return x < b.x + b.width && x + width > b.x && y < b.y + b.height && y + height > b.y;
  }
};

class BoxIndex {
 public:
  explicit BoxIndex(std::span<const Box> boxes);

  // The positions, ascending, of every box that may overlap `box`: all that
  // do, and some that do not. Boxes the bands cannot place (not finite, a
  // negative height) and boxes spanning many bands are always among them.
  std::vector<std::size_t> maybe_overlapping(const Box& box) const;

 private:
  std::size_t band_of(double y) const;
  bool placeable(const Box& box) const;

  double top_ = 0, band_height_ = 1;
  std::size_t band_count_ = 1;
  std::vector<std::uint32_t> band_start_;  // band b holds entries_[band_start_[b], band_start_[b + 1])
  std::vector<std::uint32_t> entries_;
  std::vector<std::uint32_t> everywhere_;    // met by every query
  mutable std::vector<std::uint32_t> seen_;  // the query that last met each box
  mutable std::uint32_t query_ = 0;
  std::size_t size_ = 0;
};

}  // namespace vantor::scan
