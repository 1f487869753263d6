#pragma once
#include <QDialog>

// The about box: the program's picture, name and version.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);
};
