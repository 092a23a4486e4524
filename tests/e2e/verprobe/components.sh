# Sourced by the verprobe e2e runner and benchmark: registers the stand-in
# components (built into the verprobe test directory) under HKCR in one reg
# import, and removes them again. Needs the project's Wine environment.

# ProgID  CLSID  file
vp_components=(
  "Lumetra.Presentation {5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D11} product_text.dll"
  "VerprobeTest.SecondTranslation {5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D12} second_translation.dll"
  "4242 {5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D13} product_text.dll"
  "VerprobeTest.NoVersion {5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D14} no_version.dll"
)

# vp_reg_import <file-contents-on-stdin>
vp_reg_import() {
  local file
  file=$(mktemp --suffix=.reg)
  cat >"$file"
  wine reg import "$(winepath -w "$file")" >/dev/null 2>&1
  local status=$?
  rm -f "$file"
  return $status
}

# vp_register_components <Windows path of the verprobe test directory>
vp_register_components() {
  local dir=${1//\\/\\\\} entry progid clsid file
  {
    echo "REGEDIT4"
    for entry in "${vp_components[@]}"; do
      read -r progid clsid file <<<"$entry"
      printf '\n[HKEY_CLASSES_ROOT\\%s\\CLSID]\n@="%s"\n' "$progid" "$clsid"
      printf '\n[HKEY_CLASSES_ROOT\\CLSID\\%s\\InprocServer32]\n@="%s\\\\%s"\n' "$clsid" "$dir" "$file"
    done
  } | vp_reg_import
}

vp_unregister_components() {
  local entry progid clsid file
  {
    echo "REGEDIT4"
    for entry in "${vp_components[@]}"; do
      read -r progid clsid file <<<"$entry"
      printf '\n[-HKEY_CLASSES_ROOT\\%s]\n\n[-HKEY_CLASSES_ROOT\\CLSID\\%s]\n' "$progid" "$clsid"
    done
  } | vp_reg_import
}
