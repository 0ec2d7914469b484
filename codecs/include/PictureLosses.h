#pragma once
// What a picture file held that the picture read from it does not keep: the
// reader fills it, the document keeps it, and a save that would write over
// the file says what would be lost instead of losing it silently.

struct SPictureLosses {
    int pages = 1;       // pages the file holds; only the first is read
    int sampleBits = 8;  // bits a sample; deeper samples are brought to 8
    // The file's levels spread over 0..255 when sampleBits is above 8.
    unsigned windowLow = 0, windowHigh = 0;
    bool alpha = false;  // transparency (alpha samples or a transparent colour), dropped
    bool lossy = false;  // JPEG coding: every new coding loses more
    // Colours the picture no longer shows (a colour PPM file made grey). Set
    // by the document from its picture, never by a read.
    bool colours = false;

    bool Any() const { return pages > 1 || sampleBits > 8 || alpha || lossy || colours; }
    // What the read itself dropped, whatever was done to the picture since.
    bool AnyFromRead() const { return pages > 1 || sampleBits > 8 || alpha || lossy; }
};
