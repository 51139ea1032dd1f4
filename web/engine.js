// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine in WebAssembly (engine.wasm, made of stats/ and web/engine.cpp): both tests on
// a table, with the program's own messages decoded from Windows-1251, as the desktop
// window decodes them.
const decoder = new TextDecoder('windows-1251');

// Instantiates the module from its bytes; it imports nothing.
export async function loadEngine(bytes) {
  const {instance} = await WebAssembly.instantiate(bytes);
  const {
    memory,
    tabulon_fourfold: fourfold,
    tabulon_waiting: waiting,
    tabulon_max_count: maxCount,
    tabulon_usable: usable
  } = instance.exports;
  instance.exports._initialize();
  // The addresses at an address, and the message, ended by a zero byte, at an address.
  const addresses = (address, count) => [...new Uint32Array(memory.buffer, address, count)];
  const message = address => {
    const bytes = new Uint8Array(memory.buffer, address);
    return decoder.decode(bytes.subarray(0, bytes.indexOf(0)));
  };
  return {
    // The texts shown in place of the method and the verdict while the tests run.
    waiting: addresses(waiting.value, 2).map(message),
    // The largest count a field takes.
    maxCount: new Int32Array(memory.buffer, maxCount.value, 1)[0],
    // Whether the tests are defined on a table: no empty row or column.
    usable: cells => usable(...cells) === 1,
    // Both tests on a usable table: whether the chi-square verdict applies rather than
    // Fisher's, the method that applies, and the verdicts of both.
    fourfold(cells) {
      const [chiSquare, method, yates, fisher] = addresses(fourfold(...cells), 4);
      return {
        chiSquare: chiSquare === 1,
        method: message(method),
        verdicts: [message(yates), message(fisher)]
      };
    }
  };
}
