// The cache-release routine of each cached insert: frees the storage of
// every column of that export's batch and closes it, touching no other
// export's batch. Each returns 0.
#pragma once

namespace ferrule {

int FreeInsertDeviceTypesCache();
int FreeInsertFunctionalDevicesCache();
int FreeInsertPortsCache();
int FreeInsertSparePortsCache();
int FreeInsertMacroLinksCache();
int FreeInsertSpareDevicesCache();
int FreeInsertBoardCpntsCache();
int FreeInsertMicroLinksCache();
int FreeInsertSimpleLinkTypesCache();
int FreeInsertCompositeLinkTypesCache();

}  // namespace ferrule
