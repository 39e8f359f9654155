// CToolGraph: the performance's tool graph; stamps each message with the next tool that takes it.
#pragma once

#include <windows.h>

#include <dmusici.h>

#include "com_object.h"

// The stand-in for the synthesizer at the end of every graph: a message stamped with it is played.
IDirectMusicTool *OutputTool();

class CToolGraph final : public tw::com::ComObject<CToolGraph, IDirectMusicGraph> {
public:
    static const DWORD kMaxTools = 32;
    static const DWORD kMaxMediaTypes = 16;

    CToolGraph();

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    // Sets pTool to the next tool after the current one that takes the message's type and channel, or to
    // OutputTool() past the last; sets the tool's delivery flag, and pGraph when empty. References held.
    STDMETHODIMP StampPMsg(DMUS_PMSG *pPMSG) override;
    // lIndex: position in the graph, negative counting from the end; beyond the end appends.
    STDMETHODIMP InsertTool(IDirectMusicTool *pTool, DWORD *pdwPChannels, DWORD cPChannels, LONG lIndex) override;
    STDMETHODIMP GetTool(DWORD dwIndex, IDirectMusicTool **ppTool) override;
    STDMETHODIMP RemoveTool(IDirectMusicTool *pTool) override;

    // Drops every tool (the performance closing down). Changes to the graph are made only while nothing plays.
    void RemoveAllTools();

private:
    struct ToolEntry {
        IDirectMusicTool *pTool;
        DWORD dwDelivery; // DMUS_PMSGF_TOOL_IMMEDIATE, _QUEUE or _ATTIME
        DWORD cTypes;     // 0: every message type
        DWORD adwTypes[kMaxMediaTypes];
        DWORD *pdwChannels; // null: every channel
        DWORD cChannels;
    };

    ~CToolGraph();
    static bool Takes(const ToolEntry &entry, const DMUS_PMSG *pMsg);
    static void ReadMediaTypes(ToolEntry &entry);
    LONG IndexOf(IDirectMusicTool *pTool) const;
    ToolEntry m_aTools[kMaxTools];
    DWORD m_cTools;
};
