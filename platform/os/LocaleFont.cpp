#include "platform/os/LocaleFont.h"

#include <QFont>
#include <QLocale>
#include <QWidget>

namespace os {
namespace {
int g_localeOverride = 0;

int LocaleIdOf(const QLocale& locale) {
  switch (locale.language()) {
    case QLocale::Japanese: return 1041;
    case QLocale::German: return 1031;
    case QLocale::French: return 1036;
    case QLocale::English:
      return locale.territory() == QLocale::UnitedKingdom ? 2057 : 1033;
    default: return 1033;
  }
}
}  // namespace

int UserDefaultLocaleId() {
  return g_localeOverride != 0 ? g_localeOverride : LocaleIdOf(QLocale::system());
}

void SetUserDefaultLocaleId(int id) { g_localeOverride = id; }

void ApplyLocaleFont(QWidget* window) {
  if (window == nullptr || UserDefaultLocaleId() == kJapaneseLocaleId) return;
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  window->setFont(font);
}

}  // namespace os
