#include "engine/job_texts.h"

namespace rux {
namespace {

// "´" is the acute accent U+00B4 (the byte 0xB4 in Windows-1252).
const JobTexts kEncode = {
    'c',
    "ENCODE:",
    "ENCODE",
    "CODIFICANDO ...RUX...",
    "\n ENCODING...Wait a moment please",
    "\n DATE: ",
    2,
    "\n ...___ENCODING___....",
    "\nConfiguration file: ",
    "\nProgram: ",
    "\nKey Book: ",
    "\nKey Nr: ",
    "\nSource: ",
    "\nTarget ",
    "\nConfirmation file ",
    "\n_______PARAMETERS________ ",
    {"\nParameter 1: ", "\nParameter 2: ", "\nParameter 3: ", "\nParameter 4: ", "\nParameter 5: ",
     "\nParameter 6: ", "\nParameter 7: ", "\nParameter 8: ", "\nParameter 9: ", "\nParameter 10: ",
     "\nParameter 11:(ATTENTION ERROR DON\u00B4T USE THAT) :", "\nParameter 12: ",
     "\nParameter 13: ", "\nParameter 14:(ATTENTION ERROR DON\u00B4T USE THAT) :"},
    "\n _____ENCODING______....Please Wait...._____",
    {"Process OK... ", "...OK\nProcess OK... RUX 4.0...OK...\n"},
    {"Process OK... ", "...OK."},
    {"Process ERROR... ", "...\n"},
    {"Process ERROR... ", "...\nEncode...ERROR."},
    "ERROR Nr: ",
    false,
};

const JobTexts kDecode = {
    'd',
    "DECODE: ",
    "DECODE",
    "DECODIFICANDO ...RUX...",
    "\n DECODING...Wait a moment please",
    "\n FECHA: ",
    1,
    "\n ...___DECODIFICANDO___....",
    "\nFichero de Configuracion: ",
    "\nPrograma: ",
    "\nLibro de CLAVES: ",
    "\nNumero Clave: ",
    "\nFichero Origen: ",
    "\nFichero Destino ",
    "\nFichero Confirmacion ",
    "\n_______PARAMETROS________ ",
    {"\nParametro 1: ", "\nParametro 2: ", "\nParametro 3: ", "\nParametro 4: ", "\nParametro 5: ",
     "\nParametro 6: ", "\nParametro 7: ", "\nParametro 8: ", "\nParametro 9: ", "\nParametro 10: ",
     "\nParametro 11:(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :", "\nParametro 12: ",
     "\nParametro 13: ", "\nParametro 14:(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :"},
    "\n _____DECODIFICANDO______....Espere...._____",
    {"Process OK...", "...OK\nDecoded OK... RUX 4.0...OK...\n"},
    {"Process OK... ", "...OK.\nDecoded OK... RUX 4.0...OK...\n"},
    {"Process Error... ", "...\nDecoded...ERROR."},
    {"Process Error... ", "...\nDecoded...ERROR.."},
    "Error number: ",
    true,
};

}  // namespace

const JobTexts& TextsFor(JobMode mode) { return mode == JobMode::Encode ? kEncode : kDecode; }

}  // namespace rux
