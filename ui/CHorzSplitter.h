#pragma once
// A horizontal splitter bar that moves up and down between top panes (the
// "left" panes of SplitterBar) and bottom panes (its "right" panes).

#include "ui/SplitterBar.h"

namespace pw {

class CHorzSplitter : public SplitterBar {
public:
    CHorzSplitter() : SplitterBar(false) {}
};

}  // namespace pw
