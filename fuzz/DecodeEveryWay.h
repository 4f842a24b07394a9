#pragma once

#include <QByteArrayView>

// Decodes the bytes as a picture file in each way the program asks for one:
// as a thumbnail, for the view and for the full screen, at a few sizes
// chosen by the bytes themselves, a part of it as the zoomed full screen
// does, reads its picture information and takes the first frames of its
// animation as the full screen plays it. The fuzzer runs it on every input;
// the tests run it on every input the fuzzer ever found a fault with.
// Returns how many decodes and frames gave a picture.
int DecodeEveryWay(QByteArrayView bytes);
