#pragma once
// A polyline through many more points than a picture has pixel columns, thinned to what the
// picture can show: of the consecutive points that fall in one column only the first, the lowest,
// the highest and the last are kept, in the order they came. The line through them covers the
// same pixels as the line through all of them (within a column every point lies between the
// lowest and the highest), so the picture looks the same, while a column costs at most four
// points. A column of up to four points keeps them all.
#include <cstddef>

namespace tev {

template <class Emit>  // void(int x, int y): the next point of the thinned line
class ColumnThinner {
 public:
  explicit ColumnThinner(Emit emit) : emit_(emit) {}
  ColumnThinner(const ColumnThinner&) = delete;
  ColumnThinner& operator=(const ColumnThinner&) = delete;

  void Add(int x, int y) {
    if (count_ > 0 && x != column_) Flush();
    const Point p{y, count_};
    if (count_ == 0) {
      column_ = x;
      low_ = high_ = p;
    }
    if (count_ < kKept) kept_[count_] = p;
    if (y < low_.y) low_ = p;
    if (y > high_.y) high_ = p;
    last_ = p;
    ++count_;
  }

  // Gives the points of the column still open; call at a gap in the line and at its end.
  void Flush() {
    if (count_ == 0) return;
    if (count_ <= kKept) {
      for (std::size_t i = 0; i < count_; ++i) emit_(column_, kept_[i].y);
    } else {
      const bool lowFirst = low_.order <= high_.order;
      const Point order[4] = {kept_[0], lowFirst ? low_ : high_, lowFirst ? high_ : low_, last_};
      for (std::size_t i = 0; i < 4; ++i)
        if (i == 0 || order[i].order != order[i - 1].order) emit_(column_, order[i].y);  // first may be lowest, ...
    }
    count_ = 0;
  }

 private:
  static constexpr std::size_t kKept = 4;
  struct Point {
    int y = 0;
    std::size_t order = 0;  // within the column
  };
  Emit emit_;
  int column_ = 0;
  std::size_t count_ = 0;
  Point kept_[kKept];
  Point low_, high_, last_;
};

}  // namespace tev
