// The cache-release routine of each cached update: frees the storage of
// every column of that export's batch and closes it, touching no other
// export's batch. Each returns 0.
#pragma once

namespace ferrule {

int FreeUpdateBidirectionalLinksCache();
int FreeUpdateLkUsedLinksCache();
int FreeUpdateLkTypeLinksCache();
int FreeUpdateLkInfoLinksCache();

int FreeUpdateAttributesDevicesCache();
int FreeUpdateDeviceNodeUsedCache();
int FreeUpdateDeviceActiveCache();
int FreeUpdateDevNamesDevicesCache();
int FreeUpdateDTypeDevicesCache();
int FreeUpdateDeviceSystemListCache();

int FreeUpdateDeviceTypeAttributesCache();
int FreeUpdateDeviceTypesCache();
int FreeUpdateLinkTypeNamesCache();
int FreeUpdateCompositeLinkTypesCache();

int FreeUpdateAttributeMacIPsCache();
int FreeUpdateIPAddressesCache();

int FreeUpdatePortsCache();
int FreeUpdatePortStatusesCache();

}  // namespace ferrule
