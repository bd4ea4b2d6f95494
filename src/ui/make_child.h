#pragma once

#include <memory>
#include <utility>

namespace dramolex::ui {

// Creates a Qt object owned by its parent (the first constructor argument):
// Qt deletes children with their parent, so the caller keeps only a
// non-owning pointer.
template <typename T, typename Parent, typename... Args>
T* makeChild(Parent* parent, Args&&... args)
{
    return std::make_unique<T>(std::forward<Args>(args)..., parent).release();
}

} // namespace dramolex::ui
