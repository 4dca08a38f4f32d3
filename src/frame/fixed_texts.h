// Fixed texts some exports return: constant storage inside the library, valid while it is loaded,
// never freed or written by the caller. Each has exactly one address.
#pragma once

namespace dk::fixed {

inline constexpr char kNotFound[] = "not found";
inline constexpr char kStarted[] = "Started";
inline constexpr char kStopped[] = "Stopped";
inline constexpr char kError[] = "error";
inline constexpr char kErrore[] = "errore";
inline constexpr char kNoActds[] = "NO ACTDS";
inline constexpr char kSi[] = "si";
inline constexpr char kNo[] = "no";
inline constexpr char k32bit[] = "32bit";
inline constexpr char k64bit[] = "64bit";
inline constexpr char kCannotLoadMysqlLibrary[] = "cannot load mysql library";
inline constexpr char kCannotLoadMysqlLibraries[] = "Cannot load mysql libraries";

}  // namespace dk::fixed
