#pragma once

namespace tav::ErrorNumber {

// Run-time error numbers. They are part of what the user reads ("Error: 13 ...")
// and may quote when asking for help, and each has its text in every language
// (errortexts.cpp), so a number never changes its meaning.
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;

// Our own: the interest-rate search would need more rounds than it allows.
inline constexpr int RateOutOfRange = 1001;

}  // namespace tav::ErrorNumber
