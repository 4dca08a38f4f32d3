// Names under which the ADSI stand-in is registered for the "IIS:" namespace; shared by the
// stand-in and the tests that register it.
#pragma once

namespace adsi_standin {

inline constexpr char kClsidText[] = "{6C1D8A52-3B4E-4F0A-9D27-5E8B1C0F7A31}";
inline constexpr char kProgId[] = "DeployKitTest.IISNamespace";
// Environment variable naming the metabase file; without it, metabase.txt beside the DLL.
inline constexpr char kMetabaseVariable[] = "DK_ADSI_METABASE";

}  // namespace adsi_standin
