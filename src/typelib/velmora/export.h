/* VELMORA_EXPORT marks the classes and functions of the public interface. The library is built
   with every other symbol hidden, so only what carries the mark is part of its ABI. Plain C, as
   the C interface (velmora/velmora.h) uses it too. */
#ifndef VELMORA_EXPORT_H
#define VELMORA_EXPORT_H

#if defined(__GNUC__) || defined(__clang__)
#define VELMORA_EXPORT __attribute__((visibility("default")))
#else
#define VELMORA_EXPORT
#endif

#endif
