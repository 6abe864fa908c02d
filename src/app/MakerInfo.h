#pragma once

// Who makes Torvel: shown by the splash and About windows and the main window's logo.
namespace torvel::maker {

inline constexpr char kName[] = "Tornaluz Sistemas CNC Ltda.";
inline constexpr char kWebAddress[] = "www.tornaluz.example";
inline constexpr char kDeveloper1[] = "Rafael Moreira Tavares";
inline constexpr char kDeveloper2[] = "Lúcia Andrade Bastos";

} // namespace torvel::maker
