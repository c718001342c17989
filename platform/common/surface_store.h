// The surfaces a back end made, owned in one place: a window keeps only a
// pointer, so a window that lives until the process ends loses nothing.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

namespace sgwin {

template <typename Surface>
class SurfaceStore {
 public:
  Surface* Add(Surface surface) {
    items_.push_back(std::make_unique<Surface>(surface));
    return items_.back().get();
  }
  void Remove(const Surface* surface) {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [surface](const std::unique_ptr<Surface>& item) { return item.get() == surface; }),
                 items_.end());
  }

 private:
  std::vector<std::unique_ptr<Surface>> items_;
};

}  // namespace sgwin
