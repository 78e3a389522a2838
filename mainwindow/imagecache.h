#pragma once
// Saving the working image into the model's cache file from the device page.

// Saves g_FlashDataMap under g_SaveCacheName, but only when that name is set
// and is the cache name of the selected model (g_LoadCacheName): the name of
// the last whole image can belong to another model than the one now selected,
// and its cache must not be overwritten with this model's image.
// Returns true when the file was written.
bool SaveImageCacheOfSelectedModel();
