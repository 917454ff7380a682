#pragma once

// The census window's repaint, shaped like InvalidateRect of the whole
// client area and UpdateWindow.
namespace buildcensus {

class DisplayOps {
  public:
    virtual ~DisplayOps() = default;
    // Marks the whole client area for repainting; `erase` asks for the
    // background to be erased first.
    virtual void Invalidate(bool erase) = 0;
    // Paints at once whatever is marked, before returning.
    virtual void Update() = 0;
};

}  // namespace buildcensus
