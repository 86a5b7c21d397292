// An image list's pictures, for the files that draw or drag them.
#pragma once

#include "platform/ui/ImageList.h"

#include <QImage>

#include <vector>

struct PlatformImageList {
    int width = 16, height = 16;
    bool masked = false;
    COLORREF bkColor = CLR_NONE;
    std::vector<QImage> images;
    std::vector<std::vector<bool>> masks; // true: transparent
};
