# The core: number readings, the archive field encoding and records, every calculation, the
# tips and price-list readers. Qt Core only; the program and the fuzz targets both build it
# from this one list.
set(PERIX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/numeri.cpp
  ${CMAKE_CURRENT_LIST_DIR}/campi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/allegato.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frontespizio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scrittura.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tipi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/verifica.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calcoli.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calcoli_altezze.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calcoli_disaggregati.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calcoli_procedimento.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calcoli_sintetici.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calcoli_tipologie.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lettura_listino.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lettura_suggerimenti.cpp
  ${CMAKE_CURRENT_LIST_DIR}/omi.cpp)
