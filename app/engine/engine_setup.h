// What the engine's own files share about releasing its COM objects.
#pragma once

// Releases a process-wide interface pointer once and clears it.
template <class T> void ReleaseAndClear(T *&pObject) {
    if (pObject != nullptr) {
        pObject->Release();
        pObject = nullptr;
    }
}

// Removes the instrument tool from the graph and releases the tool, graph, buffer, segment state and audio path.
void ReleaseAudioSetup();
