#pragma once
// What a picture file held that the picture read from it does not keep: the
// reader fills it, the document keeps it, and a save that would write over
// the file says what would be lost instead of losing it silently.

// What a file's samples are: unsigned integers, signed integers, or IEEE
// floating-point numbers.
enum class SampleKind { Unsigned, Signed, Float };

struct SPictureLosses {
    int pages = 1;       // pages the file holds
    int pagesKept = 1;   // of them, the pages read, which a save writes back
    int sampleBits = 8;  // bits a sample; deeper samples are brought to 8
    SampleKind sampleKind = SampleKind::Unsigned;
    // The file's values spread over 0..255 when the samples are deeper than
    // Orvex keeps: signed samples as they are, floating-point ones as floats.
    double windowLow = 0, windowHigh = 0;
    bool alpha = false;  // transparency (alpha samples or a transparent colour), dropped
    bool lossy = false;  // JPEG coding: every new coding loses more
    // Colours the picture no longer shows (a colour PPM file made grey). Set
    // by the document from its picture, never by a read.
    bool colours = false;

    // Whether the samples are other than the 8-bit unsigned levels Orvex keeps.
    bool Deeper() const { return sampleBits > 8 || sampleKind != SampleKind::Unsigned; }
    bool Any() const { return pages > pagesKept || Deeper() || alpha || lossy || colours; }
    // What the read itself dropped, whatever was done to the picture since.
    bool AnyFromRead() const { return pages > pagesKept || Deeper() || alpha || lossy; }
};
