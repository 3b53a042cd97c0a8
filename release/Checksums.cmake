# Writes SHA256SUMS beside the release zip: the SHA-256 of the zip and of
# the two programs in it, one line "<hash>  <name>" each as sha256sum(1)
# writes them, with CR LF line ends for Notepad.
#   cmake -DOUTPUT=<SHA256SUMS> -DZIP=<zip> -DSTAGE=<folder the zip was packed from> -P Checksums.cmake
set(text "")
foreach(path IN ITEMS "${ZIP}" "${STAGE}/Quorvane.exe" "${STAGE}/quorvane-cli.exe")
  file(SHA256 "${path}" hash)
  get_filename_component(name "${path}" NAME)
  string(APPEND text "${hash}  ${name}\r\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
