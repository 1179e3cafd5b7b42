// The program calls zz_device through its import library.
#include "app/tablet_win.h"

namespace {

const tablet_api kImported = {
    WacomTabletInit,    WacomTabletQuit,     WacomTabletInUse,        WacomTabletDeviceName,
    WacomTabletAttach,  WacomTabletUnAttach, WacomTableInfoWhenPress, WacomTableInfoWhenMove,
    WacomTableIsRubber, WacomTabletFocus,    WacomTabletInfoChanged,
};

}  // namespace

const tablet_api* g_tablet_api = &kImported;
