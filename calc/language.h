#pragma once

namespace tav {

// The four interface languages, in the order the window tests its language
// buttons. The language never changes number formats; the locale does.
enum class Language { German, English, Italian, French };

inline constexpr Language kAllLanguages[] = {Language::German, Language::English, Language::Italian,
                                             Language::French};

}  // namespace tav
