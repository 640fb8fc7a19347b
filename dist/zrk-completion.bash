# bash completion for zrk, the command line of the ZRK package builder. Installed as
# share/bash-completion/completions/zrk; uses the helpers of bash-completion.

_zrk() {
  local cur prev words cword
  _init_completion || return

  # The subcommand and the position of its first argument.
  local command="" start=0 i
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      build | check | list | extract | get | init | diff)
        command=${words[i]}
        start=$((i + 1))
        break
        ;;
    esac
  done
  if [[ -z $command ]]; then
    mapfile -t COMPREPLY < <(compgen -W 'build check list extract get init diff --help --version' -- "$cur")
    return
  fi

  case $prev in
    -o | --output)
      _filedir zrk
      return
      ;;
    -C | --directory)
      _filedir -d
      return
      ;;
  esac

  if [[ $cur == -* ]]; then
    local options
    case $command in
      build) options='-o --output -f --force -q --quiet --strict --help' ;;
      check) options='--strict --json --unused -q --quiet --help' ;;
      list) options='--json -H --human-readable --total --help' ;;
      extract) options='-C --directory -f --force --help' ;;
      get | init) options='--help' ;;
      diff) options='--json --help' ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi

  case $command in
    build | check) _filedir zrp ;;
    list | diff) _filedir zrk ;;
    # ПАКЕТ, then the names of its entries, as zrk list prints them.
    extract)
      if ((cword == start)); then
        _filedir zrk
      else
        local package="" j
        for ((j = start; j < cword; j++)); do
          case ${words[j]} in
            -C | --directory) ((j++)) ;;
            -*) ;;
            *) package=${words[j]} && break ;;
          esac
        done
        [[ -n $package ]] || return
        # Quoted for the shell: an entry's name holds backslashes.
        local name
        while IFS= read -r name; do
          name=$(printf '%q' "$name")
          [[ $name == "$cur"* ]] && COMPREPLY+=("$name")
        done < <(zrk list "$package" 2>/dev/null | cut -f2-)
      fi
      ;;
    init) ((cword == start)) && _filedir -d ;;
    # ФАЙЛ РАЗДЕЛ КЛЮЧ: only the file can be completed.
    get) ((cword == start)) && _filedir ;;
  esac
} &&
  complete -F _zrk zrk
