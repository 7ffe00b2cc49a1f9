#pragma once

#include <QDialog>

// The about dialog: version, the maker's web and e-mail addresses, and the
// dealer panel of the Taiwanese interface.
class AboutDialog final : public QDialog {
    Q_OBJECT
  public:
    AboutDialog(int country, QWidget* parent = nullptr);
};
