# The sRGB profile every PDF declares as its output intent, built into the program from
# icc-profiles-free (an ICC version 2 profile, as PDF 1.4 reads them), so no PDF lacks it:
# writes reports/srgb_icc.h under `cartella`.
find_file(PERIX_SRGB_ICC sRGB.icc PATHS /usr/share/color/icc NO_DEFAULT_PATH REQUIRED)
function(perix_profilo_srgb cartella)
  file(READ ${PERIX_SRGB_ICC} esadecimale HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," byte "${esadecimale}")
  file(WRITE ${cartella}/reports/srgb_icc.h.nuovo
       "// Made by the build from ${PERIX_SRGB_ICC}.\nstatic const unsigned char srgbIcc[] = {${byte}};\n")
  configure_file(${cartella}/reports/srgb_icc.h.nuovo ${cartella}/reports/srgb_icc.h COPYONLY)
endfunction()
