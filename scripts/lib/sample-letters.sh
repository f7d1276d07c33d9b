# Sample letters in which names are spelt every which way, for the pictures of the window.
# Sourced, not run. write_sample_letters FOLDER: writes them to FOLDER/letters.
write_sample_letters() {
  local letters=$1/letters
  mkdir -p "$letters/1998" "$letters/1999"
  printf 'Dear Katherine,\nthank you for the parcel.\nYours, Michel\n' > "$letters/1998/to_katherine.txt"
  printf 'Catherine called twice today.\nShe asked for Mitchell.\n' > "$letters/1998/notes.txt"
  printf 'Minutes of the meeting\nPresent: Kathryn Hale, Ksenia Ivanova, Michael Brown\n' > "$letters/1999/minutes.txt"
  printf 'Kathy and Katharine will come on Sunday.\nCatarina sends her love.\n' > "$letters/1999/family.txt"
  printf 'Nothing of interest here.\n' > "$letters/1999/empty.txt"
}
