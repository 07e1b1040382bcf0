#pragma once
// The send-next-change scheduler: turns the pending change marks of the record tree and of the
// system values into frames, one per call, for the link worker to queue.
//
// Threads: SendNextChange runs on the link worker with g_csLink held; the UI thread sets the
// marks it takes (atomics) at the same time. It posts WM_VIEW_PRESET_CUSTOM (link/LinkMessages.h)
// to the view when it renames the current preset.

#include <memory>

class CKTV_Data;
class CKTV_OutData;
class CMusic_InData;
class CSendData;

class CChangeScheduler {
public:
    explicit CChangeScheduler(CKTV_Data &tree) : m_tree(tree) {}

    // The next pending change as a frame, in a fixed order: system block 5, system block 2, the
    // preset name, the rename to "Custom" while parameters are dirty, the music inputs, then the
    // outputs (each record's items before its bands). One mark per call, cleared before the frame
    // is built. With nothing pending: the status request.
    std::unique_ptr<CSendData> SendNextChange();

private:
    std::unique_ptr<CSendData> TakeRename();
    std::unique_ptr<CSendData> TakeMusicChange(CMusic_InData &in);
    std::unique_ptr<CSendData> TakeOutputChange(CKTV_OutData &out);

    CKTV_Data &m_tree;
};
