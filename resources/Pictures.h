#pragma once
// The program's pictures, addressed by their resource names
// ("TITLE_BITMAP", "GRAPH_BMP", ...), drawn from vector sources.
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace res {

bool HasPicture(const char* name);
// The picture drawn at `size` (its own size when `size` is empty); a null
// pixmap when there is no picture of that name.
QPixmap LoadPicture(const char* name, QSize size = {});
QIcon LoadIcon(const char* name);

}  // namespace res
