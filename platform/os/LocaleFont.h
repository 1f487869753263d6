#pragma once
class QWidget;

namespace os {

// The user's default locale identifier in Windows terms (1041 Japanese,
// 1033 English (US), ...). Tests may override it; 0 restores the system's.
int UserDefaultLocaleId();
void SetUserDefaultLocaleId(int id);

inline constexpr int kJapaneseLocaleId = 1041;

// Every window applies this at creation: outside the Japanese locale its font
// becomes "Arial" 8 (the platform picks its nearest match); in the Japanese
// locale the designed font stays.
void ApplyLocaleFont(QWidget* window);

}  // namespace os
