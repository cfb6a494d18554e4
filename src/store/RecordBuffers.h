#pragma once

#include "store/EnregArtiste.h"
#include "store/EnregConvertDetail.h"
#include "store/EnregConvertEntete.h"
#include "store/EnregInfoSon.h"
#include "store/EnregMorceau.h"
#include "store/EnregMorceauCles.h"
#include "store/EnregMorceauMagneto.h"
#include "store/EnregPointeurs.h"
#include "store/EnregVoixGroupe.h"

namespace ks3 {

// The process-wide record buffers, one per table this program reads or writes.
// Every record call on a table passes that table's buffer: fill it before an
// Insert or Update, read it after a Get.
EnregArtiste& enregArtiste();               // table 20
EnregVoixGroupe& enregVoixGroupe();         // table 21
EnregMorceau& enregMorceau();               // table 22
EnregMorceauMagneto& enregMorceauMagneto(); // table 26
EnregMorceauCles& enregMorceauCles();       // table 29
EnregPointeurs& enregPointeurs();           // table 31
EnregInfoSon& enregInfoSon();               // table 37
EnregConvertEntete& enregConvertEntete();   // table 41
EnregConvertDetail& enregConvertDetail();   // table 42

// The byte image of a table's buffer, as the call layer hands it to the record
// manager; data is null for a table without a layout.
struct RecordBufferRef {
    char* data = nullptr;
    int size = 0; // in-memory layout size
};
RecordBufferRef recordBufferOf(int noFichier);

// Puts every buffer back to its initial content (spaces; binary fields zero).
void resetRecordBuffers();

} // namespace ks3
