#pragma once
// A vertical splitter bar that moves sideways between left and right panes.

#include "ui/SplitterBar.h"

namespace pw {

class CVertSplitter : public SplitterBar {
public:
    CVertSplitter() : SplitterBar(true) {}
};

}  // namespace pw
