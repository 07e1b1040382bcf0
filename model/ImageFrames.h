#pragma once
// Frames of what the program holds: items and blocks of the device images and the system values,
// read under their locks and handed to the protocol's builders (protocol/CommandFrame.h).
//
// Callers: the records' writers, the change scheduler and the device synchronisation.

#include "protocol/CommandFrame.h"

#include <cstdint>
#include <memory>
#include <vector>

class CSendData;

// Item k of a block of the current image as an item write (BuildParamFrame), with the output's
// link flag; the status request for OBJ_STATUS_REQUEST. The effect record is one block: its
// channel byte is sent but reads item k of the record. Null where BuildParamFrame builds nothing
// or the image has no such item.
std::unique_ptr<CSendData> BuildImageItemFrame(int objType, int channel, int item);

// A whole-block write of the current image (fromCurrentImage) or of machine preset p's image,
// with the output's link flag. Null for another type, a channel out of range, or a machine-preset
// write with p not 1..6. Taking a music or output block from the current image sets
// g_bParamsDirty: the live parameters now differ from every stored preset.
std::unique_ptr<CSendData> BuildImageBlockFrame(int preset, int objType, int channel, bool fromCurrentImage);

// The values a system write of sub-identifier s carries, as BuildSystemFrame takes them: the
// preset's name field (p = 0 the current image, 1..6 a machine preset), system block 2 or 5, the
// speaker types, the current preset number or the mode table; nothing for a reset of the Wi-Fi
// module. Empty for a sub-identifier without values or a name of a preset above 6.
std::vector<std::uint8_t> SystemWriteValues(int systemCommand, int preset);

// BuildSystemFrame of the values above.
std::unique_ptr<CSendData> BuildSystemValuesFrame(int systemCommand, int preset);
