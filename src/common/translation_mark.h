#pragma once
// Marks a text of the core for translation without translating it. The core
// keeps the processor's own (Chinese) texts; the widgets translate them in
// the named context when they show them. The translation tools read this
// macro as QT_TRANSLATE_NOOP, so every marked text lands in the catalogue of
// texts to translate.

#define DSP_TRANSLATE_NOOP(context, text) text
